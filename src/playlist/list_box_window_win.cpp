#include <algorithm>

#include "playlist/entry_rows.h"
#include "playlist/playlist_win.h"

namespace zav2 {

namespace {

// Inserting or deleting one row shifts the selection state of the rows after
// it, about a byte each; past this many shifted rows per row kept, setting
// the count once and selecting again is cheaper.
constexpr double kShiftedPerRowKept = 6000.0;

}  // namespace

RowAtPoint listRowAtPoint(HWND listBox, POINT clientPoint) {
    const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    const LRESULT top = SendMessageW(listBox, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0);
    if (count == LB_ERR || top == LB_ERR || height == LB_ERR)
        return {};
    return rowAtPoint(static_cast<int>(top), clientPoint.y, static_cast<int>(height),
                      static_cast<int>(count));
}

// The list box's own procedure, as it was before the window was subclassed,
// takes the message directly: the subclass chain passes it on the same way,
// but first looks up window properties, a round trip to the server under Wine
// each, about 0.2 ms a message, longer than a row takes. The subclass handles
// only input, scrolling and the questions of other programs, never these
// messages.
LRESULT ListBoxWindow::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (procedure_)
        return CallWindowProcW(procedure_, window_, message, wParam, lParam);
    return SendMessageW(window_, message, wParam, lParam);
}

int ListBoxWindow::count() const {
    const LRESULT result = send(LB_GETCOUNT);
    return result == LB_ERR ? 0 : static_cast<int>(result);
}

String ListBoxWindow::text(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= rows_.size())
        return {};
    return rows_[static_cast<size_t>(index)];
}

void ListBoxWindow::insert(int index, StringView text) {
    viewChanged_ = true;
    const int total = static_cast<int>(rows_.size());
    const int at = std::clamp(index, 0, total);
    rows_.insert(rows_.begin() + at, String(text));
    send(LB_INSERTSTRING, at == total ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(at), 0);
}

void ListBoxWindow::remove(int index) {
    if (index < 0 || static_cast<size_t>(index) >= rows_.size())
        return;
    viewChanged_ = true;
    rows_.erase(rows_.begin() + index);
    send(LB_DELETESTRING, static_cast<WPARAM>(index));
}

void ListBoxWindow::invalidateRow(int index) {
    RECT row{};
    if (send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) !=
        LB_ERR) {
        InvalidateRect(window_, &row, TRUE);
    }
}

// The row keeps its place and its selection: only the text it is drawn from
// changes. A row below or above the view is not painted again for it.
void ListBoxWindow::replace(int index, StringView text) {
    if (index < 0 || static_cast<size_t>(index) >= rows_.size())
        return;
    rows_[static_cast<size_t>(index)] = String(text);
    const int top = topIndex();
    if (index < top || index > top + visibleRows())
        return;
    if (redrawPauses_ > 0)
        viewChanged_ = true;
    else
        invalidateRow(index);
}

void ListBoxWindow::reset(int expectedCount) {
    viewChanged_ = true;
    rows_.clear();
    if (expectedCount > 0)
        rows_.reserve(static_cast<size_t>(expectedCount));
    send(LB_RESETCONTENT);
}

void ListBoxWindow::recount(const std::vector<int>& selected, int top) {
    RedrawPause pause(*this);
    viewChanged_ = true;
    send(LB_RESETCONTENT);
    send(LB_SETCOUNT, rows_.size());
    selectRows(selected);
    setTopIndex(top);
}

void ListBoxWindow::insertMany(int index, const std::vector<String>& texts) {
    if (texts.empty())
        return;
    viewChanged_ = true;
    const int total = static_cast<int>(rows_.size());
    const int at = std::clamp(index, 0, total);
    const int added = static_cast<int>(texts.size());
    if (at == total) {
        // Appended: the rows before keep their selection as they are.
        rows_.insert(rows_.end(), texts.begin(), texts.end());
        RedrawPause pause(*this);
        send(LB_SETCOUNT, rows_.size());
        return;
    }
    const double shifted = static_cast<double>(added) * (total - at);
    if (shifted <= kShiftedPerRowKept * (total + 1)) {
        RedrawPause pause(*this);
        ListBoxMirror::insertMany(at, texts);
        return;
    }
    std::vector<int> selected = selection();
    for (int& row : selected) {
        if (row >= at)
            row += added;
    }
    const int top = topIndex();
    rows_.insert(rows_.begin() + at, texts.begin(), texts.end());
    recount(selected, top >= at ? top + added : top);
}

void ListBoxWindow::removeMany(const std::vector<int>& ascending) {
    if (ascending.empty())
        return;
    viewChanged_ = true;
    const int total = static_cast<int>(rows_.size());
    const int removed = static_cast<int>(ascending.size());
    if (static_cast<double>(removed) * total <= kShiftedPerRowKept * (total - removed + 1)) {
        // The box's rows go one by one (a byte of selection shifted each),
        // the texts in one pass: erased one by one, 5,000 scattered rows of
        // 100,000 moved half a billion strings, about a second.
        RedrawPause pause(*this);
        for (auto row = ascending.rbegin(); row != ascending.rend(); ++row)
            send(LB_DELETESTRING, static_cast<WPARAM>(*row));
        eraseRows(rows_, ascending);
        return;
    }
    std::vector<int> selected;
    const std::vector<int> wasSelected = selection();
    const int top = topIndex();
    int newTop = 0;
    size_t next = 0;
    size_t nextSelected = 0;
    size_t kept = 0;
    for (int i = 0; i < total; ++i) {
        while (nextSelected < wasSelected.size() && wasSelected[nextSelected] < i)
            ++nextSelected;
        if (next < ascending.size() && ascending[next] == i) {
            ++next;
            continue;
        }
        if (i < top)
            ++newTop;
        if (nextSelected < wasSelected.size() && wasSelected[nextSelected] == i)
            selected.push_back(static_cast<int>(kept));
        if (kept != static_cast<size_t>(i))
            rows_[kept] = std::move(rows_[static_cast<size_t>(i)]);
        ++kept;
    }
    rows_.resize(kept);
    recount(selected, newTop);
}

std::vector<int> ListBoxWindow::selection() const {
    const LRESULT selectedCount = send(LB_GETSELCOUNT);
    if (selectedCount == LB_ERR || selectedCount <= 0)
        return {};
    std::vector<int> rows(static_cast<size_t>(selectedCount));
    const LRESULT got = send(LB_GETSELITEMS, static_cast<WPARAM>(selectedCount),
                             reinterpret_cast<LPARAM>(rows.data()));
    rows.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListBoxWindow::setSelected(int index, bool selected) {
    viewChanged_ = true;
    send(LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

void ListBoxWindow::selectRange(int first, int last) {
    viewChanged_ = true;
    // One message per run: each LB_SETSEL costs about a millisecond. A range
    // given high to low would deselect, so one row goes by LB_SETSEL.
    if (first == last)
        setSelected(first, true);
    else if (first < last)
        send(LB_SELITEMRANGEEX, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

void ListBoxWindow::selectAll() {
    viewChanged_ = true;
    send(LB_SETSEL, TRUE, -1);
}

void ListBoxWindow::clearSelection() {
    viewChanged_ = true;
    send(LB_SETSEL, FALSE, -1);
}

int ListBoxWindow::topIndex() const {
    const LRESULT top = send(LB_GETTOPINDEX);
    return top == LB_ERR ? 0 : static_cast<int>(top);
}

void ListBoxWindow::setTopIndex(int index) {
    viewChanged_ = true;
    send(LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, index)));
}

int ListBoxWindow::visibleRows() const {
    RECT client{};
    GetClientRect(window_, &client);
    const LRESULT height = send(LB_GETITEMHEIGHT, 0);
    if (height == LB_ERR || height <= 0)
        return 1;
    return std::max(1, static_cast<int>((client.bottom - client.top) / height));
}

void ListBoxWindow::repaint() {
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

// Every change to a painting list box redraws it and updates its scroll bar;
// under Wine that costs tens of milliseconds a string.
void ListBoxWindow::setRedraw(bool on) {
    if (!on) {
        if (redrawPauses_++ == 0)
            send(WM_SETREDRAW, FALSE);
        return;
    }
    if (redrawPauses_ > 0 && --redrawPauses_ == 0) {
        send(WM_SETREDRAW, TRUE);
        if (viewChanged_)
            InvalidateRect(window_, nullptr, TRUE);
        viewChanged_ = false;
    }
}

String WindowCaption::text() const {
    const int length = GetWindowTextLengthW(window_);
    if (length <= 0)
        return {};
    String text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window_, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void WindowCaption::setText(StringView text) {
    const String terminated(text);
    SetWindowTextW(window_, terminated.c_str());
}

}  // namespace zav2
