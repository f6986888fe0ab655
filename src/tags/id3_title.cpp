// Titles of ".mp3" files: the ID3v2 title frame, else the ID3v1 title field.
#include "tags/byte_order.h"
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

String readId3Title(FileReader& file) {
    const auto tag = Id3Tag::open(file);
    if (!tag)
        return readId3v1Title(file);
    const bool threeLetterIds = tag->version() != 3 && tag->version() != 4;
    while (const auto frame = tag->nextFrame(Id3Padding::EndsAtEmptyId)) {
        if (!equalsAsciiIgnoreCase(frame->id, threeLetterIds ? "TT2" : "TIT2"))
            continue;
        const auto content = tag->content(*frame);
        if (!content || content->empty())
            return {};
        return decodeId3Text((*content)[0], std::string_view(*content).substr(1), tag->version());
    }
    return {};
}

}  // namespace zav2
