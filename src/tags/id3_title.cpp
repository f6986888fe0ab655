// Titles of ".mp3" files: the ID3v2 title frame, else the ID3v1 title field;
// ReplayGain values from the ID3v2 tag's TXXX frames.
#include "tags/byte_order.h"
#include "tags/gain_fields.h"
#include "tags/id3_tag.h"
#include "tags/readers.h"
#include "tags/tag_text.h"
#include "tags/window_reader.h"

namespace zav2 {

namespace {

String readId3v1Title(FileReader& file) {
    if (file.size() < 128)
        return {};
    WindowReader reader(file);
    const std::string_view tag = reader.read(file.size() - 128, 128);
    if (tag.size() < 128 || !equalsAsciiIgnoreCase(tag.substr(0, 3), "TAG"))
        return {};
    const std::string_view field = tag.substr(3, 30);
    if (field == std::string_view("                              "))
        return {};
    return ansiText(field);
}

// Plain ASCII or nothing: gain names and values are never anything else.
std::string asciiOf(StringView text) {
    std::string out;
    for (const Char c : text) {
        if (c == 0 || c > 0x7F)
            return {};
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// A TXXX frame: encoding, description up to its terminator (two NUL bytes
// on a unit boundary in UTF-16), then the value.
void takeUserText(std::string_view content, int version, ReplayGainTags& gain) {
    if (content.empty())
        return;
    const char encoding = content[0];
    const std::string_view text = content.substr(1);
    const bool wide = encoding == 1 || encoding == 2;
    size_t end = wide ? 0 : text.find('\0');
    if (wide) {
        while (end + 1 < text.size() && (text[end] != 0 || text[end + 1] != 0))
            end += 2;
        if (end + 1 >= text.size())
            return;
    } else if (end == std::string_view::npos) {
        return;
    }
    const std::string name = asciiOf(decodeId3Text(encoding, text.substr(0, end), version));
    if (!isGainName(name, GainNames::ReplayGain))
        return;
    const std::string_view value = text.substr(end + (wide ? 2 : 1));
    takeGainField(gain, name, asciiOf(decodeId3Text(encoding, value, version)),
                  GainNames::ReplayGain);
}

}  // namespace

String decodeId3Text(char encoding, std::string_view text, int version) {
    switch (encoding) {
        case 0:
            // Not ISO-8859-1: tags written on Japanese systems hold Shift_JIS here.
            return ansiText(text);
        case 1:
            return utf16TextWithBom(text);
        case 2:
            // UTF-16BE exists from version 2.4 on.
            return version == 4 ? utf16Text(text, true) : String();
        case 3:
            return utf8Text(text);
        default:
            return {};
    }
}

String readId3Title(FileReader& file, ReplayGainTags* gain) {
    const auto tag = Id3Tag::open(file);
    if (!tag)
        return readId3v1Title(file);
    const bool threeLetterIds = tag->version() != 3 && tag->version() != 4;
    std::optional<String> title;
    while (const auto frame = tag->nextFrame(Id3Padding::EndsAtEmptyId)) {
        if (gain && equalsAsciiIgnoreCase(frame->id, threeLetterIds ? "TXX" : "TXXX")) {
            // Encoding, name and value in UTF-16 with two marks fit in this.
            // Unsynchronisation may double the bytes stored for them.
            constexpr size_t kLongest = 1 + 2 * (kLongestGainName + kLongestGainValue + 4);
            if (frame->contentLength <= 2 * kLongest) {
                const auto content = tag->content(*frame, kLongest + 1);
                if (content && content->size() <= kLongest)
                    takeUserText(*content, tag->version(), *gain);
            }
            continue;
        }
        if (title || !equalsAsciiIgnoreCase(frame->id, threeLetterIds ? "TT2" : "TIT2"))
            continue;
        const auto content = tag->content(*frame);
        title = !content || content->empty()
                    ? String()
                    : decodeId3Text((*content)[0], std::string_view(*content).substr(1),
                                    tag->version());
        if (!gain)
            break;
    }
    return title.value_or(String());
}

}  // namespace zav2
