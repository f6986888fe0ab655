#include "tags/tag_text.h"

namespace zav2 {

namespace {
String untilNulUnit(String text) {
    const size_t nul = text.find(Char(0));
    if (nul != String::npos)
        text.resize(nul);
    return text;
}
}  // namespace

std::string_view untilNulByte(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

String ansiText(std::string_view bytes) {
    return ansiToUtf16(untilNulByte(bytes));
}

String utf8Text(std::string_view bytes) {
    // A NUL byte only ever encodes U+0000 in UTF-8, so cutting first is exact.
    return utf8ToUtf16(untilNulByte(bytes));
}

String utf16Text(std::string_view bytes, bool bigEndian) {
    return untilNulUnit(bigEndian ? utf16beToString(bytes) : utf16leToString(bytes));
}

String utf16TextWithBom(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if (first == 0xFE && second == 0xFF)
            return utf16Text(bytes.substr(2), true);
        if (first == 0xFF && second == 0xFE)
            return utf16Text(bytes.substr(2), false);
    }
    return utf16Text(bytes, false);
}

}  // namespace zav2
