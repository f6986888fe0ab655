// Helpers shared by the operations that remove many rows at once.
#pragma once

#include <utility>
#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

// Erases the items at the given distinct ascending indices in one pass, so
// removing most of a long list does not shift its tail once per item. An
// item that stays where it is is not moved onto itself (a long string moved
// onto itself comes out empty).
template <typename Item>
void eraseRows(std::vector<Item>& items, const std::vector<int>& ascending) {
    size_t next = 0;
    size_t kept = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (next < ascending.size() && static_cast<size_t>(ascending[next]) == i) {
            ++next;
            continue;
        }
        if (kept != i)
            items[kept] = std::move(items[i]);
        ++kept;
    }
    items.resize(kept);
}

}  // namespace zav2
