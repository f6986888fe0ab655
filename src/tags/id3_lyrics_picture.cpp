// Lyrics (USLT/ULT) and cover pictures (APIC/PIC) of an ID3v2 tag.
#include <algorithm>
#include <initializer_list>

#include "tags/byte_order.h"
#include "tags/id3_tag.h"
#include "tags/readers.h"

namespace zav2 {

namespace {

bool isWideEncoding(char encoding) {
    return encoding == 1 || encoding == 2;
}

// Offset just past the NUL that ends the string at `from` (a NUL pair on a
// two-byte boundary in the UTF-16 encodings); nullopt when it is not ended.
std::optional<size_t> afterTerminator(std::string_view bytes, size_t from, bool wide) {
    if (!wide) {
        const size_t nul = bytes.find('\0', from);
        return nul == std::string_view::npos ? std::nullopt : std::optional<size_t>(nul + 1);
    }
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return i + 2;
    }
    return std::nullopt;
}

String decodeLyrics(std::string_view content, int version) {
    // Encoding, three-letter language, content descriptor, then the text.
    if (content.size() < 4)
        return {};
    const char encoding = content[0];
    const auto textStart = afterTerminator(content, 4, isWideEncoding(encoding));
    if (!textStart)
        return {};
    return decodeId3Text(encoding, content.substr(*textStart), version);
}

struct PictureHead {
    unsigned type = 0;
    size_t imageOffset = 0;
};

// APIC: encoding, MIME type (NUL-ended), picture type, description, image.
// PIC (version 2.2): encoding, three-letter format, picture type, description,
// image.
std::optional<PictureHead> parsePictureHead(std::string_view content, bool threeLetterFormat) {
    if (content.empty())
        return std::nullopt;
    size_t typeAt = 4;
    if (!threeLetterFormat) {
        const auto afterMime = afterTerminator(content, 1, false);
        if (!afterMime)
            return std::nullopt;
        typeAt = *afterMime;
    }
    if (typeAt >= content.size())
        return std::nullopt;
    const auto imageOffset = afterTerminator(content, typeAt + 1, isWideEncoding(content[0]));
    if (!imageOffset)
        return std::nullopt;
    return PictureHead{byteAt(content, typeAt), *imageOffset};
}

std::optional<PictureHead> readPictureHead(Id3Tag& tag, const Id3Frame& frame,
                                           bool threeLetterFormat) {
    // Descriptions are short: read a little first, more only when it is not
    // enough, and never the image itself unless the description fills the frame.
    for (const size_t limit : {size_t{512}, size_t{64 * 1024}, SIZE_MAX}) {
        const auto content = tag.content(frame, limit);
        if (!content)
            return std::nullopt;
        if (auto head = parsePictureHead(*content, threeLetterFormat))
            return head;
        if (content->size() < limit)
            return std::nullopt;
    }
    return std::nullopt;
}

EmbeddedPicture pictureAt(Id3Tag& tag, const Id3Frame& frame, const PictureHead& head) {
    const Id3Tag::FileRange range = tag.fileRange(frame, head.imageOffset);
    return EmbeddedPicture{range.start, range.length, range.unsynchronised};
}

}  // namespace

LyricsAndPicture readLyricsAndPicture(FileReader& file) {
    LyricsAndPicture result;
    const auto tag = Id3Tag::open(file);
    if (!tag)
        return result;
    const int version = tag->version();
    const bool version22 = version != 3 && version != 4;
    bool lyricsDone = false;
    bool pictureDone = false;
    while (!lyricsDone || !pictureDone) {
        const auto frame = tag->nextFrame(Id3Padding::WalksOverEmptyIds);
        if (!frame)
            break;
        if (!lyricsDone && equalsAsciiIgnoreCase(frame->id, version22 ? "ULT" : "USLT")) {
            lyricsDone = true;
            const auto content = tag->content(*frame);
            result.lyrics = content ? decodeLyrics(*content, version) : String();
        } else if (!pictureDone && version22 && frame->id == "PIC") {
            // The first PIC frame is the picture, whatever its type.
            pictureDone = true;
            if (const auto head = readPictureHead(*tag, *frame, true))
                result.picture = pictureAt(*tag, *frame, *head);
        } else if (!pictureDone && !version22 && equalsAsciiIgnoreCase(frame->id, "APIC")) {
            // Untyped (0) or front cover (3); a back cover and the like are passed over.
            const auto head = readPictureHead(*tag, *frame, false);
            if (head && (head->type == 0 || head->type == 3)) {
                pictureDone = true;
                result.picture = pictureAt(*tag, *frame, *head);
            }
        }
    }
    return result;
}

std::optional<std::string> readPictureBytes(FileReader& file, const EmbeddedPicture& picture) {
    if (picture.start > file.size() || picture.length > file.size() - picture.start)
        return std::nullopt;
    auto bytes = file.readExact(picture.start, picture.length);
    if (bytes && picture.unsynchronised)
        *bytes = resynchronise(*bytes);
    return bytes;
}

}  // namespace zav2
