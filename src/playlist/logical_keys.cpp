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

}  // namespace

void appendLogicalKey(LogicalKey& key, StringView text) {
    size_t i = 0;
    while (i < text.size()) {
        if (!isDigit(text[i])) {
            key.push_back(static_cast<char32_t>(toUpper(text[i])) + kLetters);
            ++i;
            continue;
        }
        while (i < text.size() && text[i] == '0')
            ++i;
        const size_t significant = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        key.push_back(kNumber);
        key.push_back(static_cast<char32_t>(i - significant));
        key.append(text.begin() + significant, text.begin() + i);
    }
    key.push_back(kEnd);
    for (i = 0; i < text.size();) {
        if (!isDigit(text[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < text.size() && text[i] == '0')
            ++i;
        key.push_back(static_cast<char32_t>(i - start));
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
}

}  // namespace zav2
