// Logical ("natural") order with the rules Explorer documents: letters compare
// without regard to case, and a run of digits compares by its numeric value,
// so "Disc 2" comes before "Disc 10".
#include "platform/text.h"

namespace zav2 {

namespace {

bool isDigit(Char c) {
    return c >= '0' && c <= '9';
}

// ASCII inline; the rest as equalsIgnoreCase folds it.
Char fold(Char c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
    return toUpper(c);
}

int sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

}  // namespace

int compareLogical(StringView a, StringView b) {
    // Equal numbers written with different leading zeros ("01" and "1") still
    // differ: the first such difference decides, fewer zeros first, so only
    // texts equal without regard to case compare equal.
    int zerosTie = 0;
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i] == b[j] && !isDigit(a[i])) {  // most of two similar names
            ++i;
            ++j;
            continue;
        }
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t startA = i;
            size_t startB = j;
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            const size_t zerosA = i - startA;
            const size_t zerosB = j - startB;
            size_t endA = i;
            size_t endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            // Without leading zeros, a longer run is a larger number.
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            for (; i < endA; ++i, ++j) {
                if (a[i] != b[j])
                    return a[i] < b[j] ? -1 : 1;
            }
            if (zerosTie == 0 && zerosA != zerosB)
                zerosTie = zerosA < zerosB ? -1 : 1;
            continue;
        }
        const Char upperA = fold(a[i]);
        const Char upperB = fold(b[j]);
        if (upperA != upperB)
            return upperA < upperB ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return sign(zerosTie);
}

}  // namespace zav2
