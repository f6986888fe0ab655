// Sort keys for the logical order of names ("Disc 2" before "Disc 10",
// without regard to case): made once per name and then compared as plain
// sequences, so sorting a long list does no text comparisons.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text.h"

namespace zav2 {

using LogicalKey = std::u32string;
using LogicalKeyView = std::u32string_view;

// Appends the key of `text`. Two keys compare, as sequences, exactly as the
// logical rules compareLogical follows off Windows compare their texts: letters
// folded by toUpper, each run of ASCII digits by its value, equal numbers with
// fewer leading zeros first, and equal keys only for texts equal without
// regard to case. Keys appended one after the other compare as the texts do
// one after the other: (base, extension) pairs order as names do.
// The shell's comparison on Windows may order some texts (symbols, kana)
// otherwise, which is why a sort by these keys is checked against
// compareLogical there.
void appendLogicalKey(LogicalKey& key, StringView text);

// Makes [first, last) ordered by `before`, stably, at little cost when it is
// nearly so already, as after a sort by keys: the ascending runs are found and
// merged pairwise, n - 1 comparisons when there is one. This puts the shell's
// order on whatever the keys left otherwise. Merging stays within bounds even
// if a platform comparison were not a strict order.
template <typename Iterator, typename Before>
void settleOrder(Iterator first, Iterator last, Before before) {
    const size_t count = static_cast<size_t>(last - first);
    std::vector<size_t> bounds{0};
    for (size_t i = 1; i < count; ++i) {
        if (before(first[i], first[i - 1]))
            bounds.push_back(i);
    }
    bounds.push_back(count);
    while (bounds.size() > 2) {
        size_t kept = 1;
        size_t run = 0;
        for (; run + 2 < bounds.size(); run += 2) {
            std::inplace_merge(first + bounds[run], first + bounds[run + 1],
                               first + bounds[run + 2], before);
            bounds[kept++] = bounds[run + 2];
        }
        if (run + 1 < bounds.size())  // an odd run out waits for the next round
            bounds[kept++] = bounds[run + 1];
        bounds.resize(kept);
    }
}

}  // namespace zav2
