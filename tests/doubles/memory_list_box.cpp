#include "memory_list_box.h"

#include <algorithm>

namespace zav2 {

void MemoryListBox::insert(int index, StringView text) {
    items_.insert(items_.begin() + index, String(text));
    selected_.insert(selected_.begin() + index, false);
}

void MemoryListBox::remove(int index) {
    items_.erase(items_.begin() + index);
    selected_.erase(selected_.begin() + index);
    top_ = std::min(top_, std::max(0, count() - 1));
}

void MemoryListBox::reset(int expectedCount) {
    items_.clear();
    selected_.clear();
    items_.reserve(static_cast<size_t>(std::max(0, expectedCount)));
    top_ = 0;
    caret_ = anchor_ = -1;  // as a list box's reset forgets them
}

void MemoryListBox::insertMany(int index, const std::vector<String>& texts) {
    items_.insert(items_.begin() + index, texts.begin(), texts.end());
    selected_.insert(selected_.begin() + index, texts.size(), false);
}

void MemoryListBox::removeMany(const std::vector<int>& ascending) {
    size_t next = 0;
    size_t kept = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (next < ascending.size() && static_cast<size_t>(ascending[next]) == i) {
            ++next;
            continue;
        }
        if (kept != i) {
            items_[kept] = std::move(items_[i]);
            selected_[kept] = selected_[i];
        }
        ++kept;
    }
    items_.resize(kept);
    selected_.resize(kept);
    top_ = std::min(top_, std::max(0, count() - 1));
}

std::vector<int> MemoryListBox::selection() const {
    std::vector<int> out;
    for (size_t i = 0; i < selected_.size(); ++i) {
        if (selected_[i])
            out.push_back(static_cast<int>(i));
    }
    return out;
}

void MemoryListBox::setSelected(int index, bool selected) {
    selected_.at(static_cast<size_t>(index)) = selected;
}

void MemoryListBox::selectAll() {
    std::fill(selected_.begin(), selected_.end(), true);
}

void MemoryListBox::clearSelection() {
    std::fill(selected_.begin(), selected_.end(), false);
}

void MemoryListBox::select(const std::vector<int>& indices) {
    clearSelection();
    for (int index : indices)
        setSelected(index, true);
}

void MemoryListBox::setTopIndex(int index) {
    // Like a list box: the top can go no further than showing the last row at
    // the bottom.
    top_ = std::clamp(index, 0, std::max(0, count() - rows_));
}

}  // namespace zav2
