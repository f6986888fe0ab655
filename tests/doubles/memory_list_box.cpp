#include "memory_list_box.h"

namespace zav2 {

void MemoryListBox::insert(int index, StringView text) {
    items_.insert(items_.begin() + index, String(text));
    selected_.insert(selected_.begin() + index, false);
}

void MemoryListBox::reset(int expectedCount) {
    items_.clear();
    selected_.clear();
    items_.reserve(static_cast<size_t>(std::max(0, expectedCount)));
    top_ = 0;
    caret_ = anchor_ = -1;  // as a list box's reset forgets them
}

// In one pass, as the program's list box does it: a big filter stays linear.
void MemoryListBox::removeMany(const std::vector<int>& ascending) {
    size_t next = 0;
    size_t kept = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (next < ascending.size() && static_cast<size_t>(ascending[next]) == i) {
            ++next;
        } else if (kept++ != i) {
            items_[kept - 1] = std::move(items_[i]);
            selected_[kept - 1] = selected_[i];
        }
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

}  // namespace zav2
