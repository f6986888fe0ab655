// In-memory list box and caption: the play list's test doubles, also used by
// the fuzz targets and benchmarks that run the list without a window.
#pragma once

#include <algorithm>
#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

class MemoryListBox final : public ListBoxMirror {
  public:
    int count() const override { return static_cast<int>(items_.size()); }
    String text(int index) const override { return items_.at(static_cast<size_t>(index)); }
    void insert(int index, StringView text) override;
    void remove(int index) override { removeMany({index}); }
    void reset(int expectedCount) override;
    void removeMany(const std::vector<int>& ascending) override;

    std::vector<int> selection() const override;
    void setSelected(int index, bool on) override { selected_.at(static_cast<size_t>(index)) = on; }
    void selectAll() override { selected_.assign(selected_.size(), true); }
    void clearSelection() override { selected_.assign(selected_.size(), false); }

    int topIndex() const override { return top_; }
    // Like a list box: no further than showing the last row at the bottom.
    void setTopIndex(int index) override {
        top_ = std::clamp(index, 0, std::max(0, count() - rows_));
    }
    int caret() const override { return caret_; }
    void setCaret(int index) override { caret_ = index; }
    int anchor() const override { return anchor_; }
    void setAnchor(int index) override { anchor_ = index; }
    int visibleRows() const override { return rows_; }
    void repaint() override { ++repaints_; }
    void setRedraw(bool on) override { redrawDepth_ += on ? -1 : 1; }

    // Test helpers.
    const std::vector<String>& items() const { return items_; }
    void select(const std::vector<int>& indices) {
        clearSelection();
        for (int index : indices)
            setSelected(index, true);
    }
    void setVisibleRows(int rows) { rows_ = rows; }
    int repaints() const { return repaints_; }
    // Pauses of painting not yet ended; 0 after every whole operation.
    int redrawDepth() const { return redrawDepth_; }

  private:
    std::vector<String> items_;
    std::vector<bool> selected_;
    int top_ = 0;
    int caret_ = -1;
    int anchor_ = -1;
    int rows_ = 10;
    int repaints_ = 0;
    int redrawDepth_ = 0;
};

class MemoryCaption final : public CaptionTarget {
  public:
    explicit MemoryCaption(String text = {}) : text_(std::move(text)) {}
    String text() const override { return text_; }
    void setText(StringView text) override {
        text_.assign(text);
        history_.push_back(text_);
    }
    // Every text set, in order.
    const std::vector<String>& history() const { return history_; }

  private:
    String text_;
    std::vector<String> history_;
};

}  // namespace zav2
