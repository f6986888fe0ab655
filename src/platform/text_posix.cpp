#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace zav2 {

namespace {

int g_codePage = 932;

std::string iconvName(int codePage) {
    if (codePage == 65001)
        return "UTF-8";
    return "CP" + std::to_string(codePage);
}

// Converts with iconv; an unconvertible byte becomes one replacement unit (or
// '?' towards the code page), as the Windows converters do by default.
std::string convert(const std::string& to, const std::string& from, std::string_view in,
                    std::string_view replacement, size_t unit) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out;
    char buffer[1024];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append(replacement);
            const size_t skip = srcLeft < unit ? srcLeft : unit;
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

void setAnsiCodePage(int codePage) {
    g_codePage = codePage;
}
int ansiCodePage() {
    return g_codePage;
}

String ansiToUtf16(std::string_view bytes) {
    if (g_codePage == 65001)
        return utf8ToUtf16(bytes);
    static const std::string kReplacement("\xFD\xFF", 2);  // U+FFFD, little-endian
    return utf16leToString(convert("UTF-16LE", iconvName(g_codePage), bytes, kReplacement, 1));
}

std::string utf16ToAnsi(StringView text) {
    if (g_codePage == 65001)
        return utf16ToUtf8(text);
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (Char c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return convert(iconvName(g_codePage), "UTF-16LE", bytes, "?", 2);
}

}  // namespace zav2
