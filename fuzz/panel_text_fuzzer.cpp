// A companion text file's bytes through the panel's text rules: the class,
// the cut at a character boundary, decoding and line assembly.
#include <string_view>

#include "fuzz_support.h"
#include "ui/panel_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    using fuzz::check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextEncoding encoding = detectTextEncoding(bytes);
    check(static_cast<int>(encoding) >= 0 && static_cast<int>(encoding) <= 4);
    // The cut at any limit: inside the bytes and never longer than the limit.
    const size_t limit = size / 2;
    const size_t cut = characterBoundary(bytes, encoding, limit);
    check(cut <= limit || cut == size);
    const String text = companionText(bytes.substr(0, cut), encoding);
    if (encoding == TextEncoding::NotText)
        check(text.empty());
    // Every line ends with CR LF, holds no zero unit, and is at most one
    // piece long.
    check(text.empty() || text.ends_with(ZT("\r\n")));
    check(text.find(Char{0}) == String::npos);
    size_t start = 0;
    for (size_t end; (end = text.find(ZT("\r\n"), start)) != String::npos; start = end + 2)
        check(end - start <= 1239);
    check(start == text.size());
    const String lyrics = lyricsForPanel(text.substr(0, text.size() / 2));
    check(lyrics.size() <= text.size());
    return 0;
}
