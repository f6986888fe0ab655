#include "playlist/logical_keys.h"

namespace zav2 {

namespace {

// A text is a sequence of tokens, each a single character or a whole run of
// digits, compared token by token. A key holds, per token, a character as its
// folded value raised by kLetters, or a number as kNumber, the count of its
// significant digits and those digits; then kEnd; then each number's count of
// leading zeros, which decide only between texts whose tokens are all equal.
// kEnd is below every token, so a text that is a prefix of another sorts
// first. Folded characters are never digits, so kNumber (a digit's place)
// orders numbers against characters as a digit does.
constexpr char32_t kEnd = 1;
constexpr char32_t kLetters = 2;
constexpr char32_t kNumber = '0' + kLetters;

bool isDigit(Char c) {
    return c >= '0' && c <= '9';
}

char32_t letter(Char c) {
    if (c < 0x80)  // most names: no call
        return (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) + kLetters;
    return static_cast<char32_t>(toUpper(c)) + kLetters;
}

}  // namespace

void appendLogicalKey(LogicalKey& key, StringView text) {
    // Written in place: a character takes one unit, a run of n digits at most
    // n + 3 (a lone digit four), the end one more.
    const size_t start = key.size();
    key.resize(start + 4 * text.size() + 1);
    char32_t* out = key.data() + start;
    size_t i = 0;
    while (i < text.size()) {
        if (!isDigit(text[i])) {
            *out++ = letter(text[i++]);
            continue;
        }
        while (i < text.size() && text[i] == '0')
            ++i;
        const size_t significant = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        *out++ = kNumber;
        *out++ = static_cast<char32_t>(i - significant);
        for (size_t d = significant; d < i; ++d)
            *out++ = text[d];
    }
    *out++ = kEnd;
    for (i = 0; i < text.size();) {
        if (!isDigit(text[i])) {
            ++i;
            continue;
        }
        const size_t run = i;
        while (i < text.size() && text[i] == '0')
            ++i;
        *out++ = static_cast<char32_t>(i - run);
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
    key.resize(static_cast<size_t>(out - key.data()));
}

}  // namespace zav2
