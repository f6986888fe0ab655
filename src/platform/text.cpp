#include "platform/text.h"

namespace zav2 {

String utf8ToUtf16(std::string_view bytes) {
    String out;
    out.reserve(bytes.size());
    constexpr char32_t kReplacement = 0xFFFD;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        char32_t cp = kReplacement;
        size_t length = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xF4) {
            const size_t need = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            char32_t value = lead & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
            size_t j = 1;
            for (; j < need && i + j < bytes.size(); ++j) {
                const unsigned char next = static_cast<unsigned char>(bytes[i + j]);
                if ((next & 0xC0) != 0x80)
                    break;
                // Reject overlong and out-of-range forms at the second byte.
                if (j == 1) {
                    if (lead == 0xE0 && next < 0xA0)
                        break;
                    if (lead == 0xED && next > 0x9F)
                        break;
                    if (lead == 0xF0 && next < 0x90)
                        break;
                    if (lead == 0xF4 && next > 0x8F)
                        break;
                }
                value = (value << 6) | (next & 0x3F);
            }
            if (j == need) {
                cp = value;
                length = need;
            } else {
                length = j;  // the valid prefix is one replacement character
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<Char>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<Char>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<Char>(cp));
        }
        i += length;
    }
    return out;
}

std::string utf16ToUtf8(StringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;  // lone surrogate
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {
String utf16BytesToString(std::string_view bytes, bool bigEndian) {
    String out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<Char>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return out;
}
}  // namespace

String utf16leToString(std::string_view bytes) {
    return utf16BytesToString(bytes, false);
}
String utf16beToString(std::string_view bytes) {
    return utf16BytesToString(bytes, true);
}

Char toUpper(Char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<Char>(c - 'a' + 'A');
    // Latin-1 and full-width Latin letters, which the shell folds too.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<Char>(c - 0x20);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<Char>(c - 0x20);
    return c;
}

String toLower(StringView text) {
    String out(text);
    for (Char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<Char>(c - 'A' + 'a');
        else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
            c = static_cast<Char>(c + 0x20);
        else if (c >= 0xFF21 && c <= 0xFF3A)
            c = static_cast<Char>(c + 0x20);
    }
    return out;
}

bool equalsIgnoreCase(StringView a, StringView b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (toUpper(a[i]) != toUpper(b[i]))
            return false;
    }
    return true;
}

}  // namespace zav2
