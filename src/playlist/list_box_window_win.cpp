#include <algorithm>

#include "playlist/playlist_win.h"

namespace zav2 {

namespace {

// Cost model measured on a list box with painting off: adding a string takes
// about 13 us, and each insertion or deletion also shifts the items after it
// at about 2 ns each. Past that break-even, refilling the box is cheaper than
// shifting it once per string.
constexpr double kRefillPerItem = 6000.0;

}  // namespace

// The list box's own procedure, as it was before the window was subclassed,
// takes the message directly: the subclass chain passes it on the same way,
// but first looks up window properties, a round trip to the server under Wine
// each, about 0.2 ms a message, longer than a row takes. The subclass handles
// only input and scrolling, never these messages.
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
    const LRESULT length = send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length <= 0)
        return {};
    String text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

void ListBoxWindow::insert(int index, StringView text) {
    viewChanged_ = true;
    const String terminated(text);
    const WPARAM at = index >= count() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
    send(LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void ListBoxWindow::remove(int index) {
    viewChanged_ = true;
    send(LB_DELETESTRING, static_cast<WPARAM>(index));
}

// A row below or above the view changes nothing that is painted, so the list
// is not painted again for it.
void ListBoxWindow::replace(int index, StringView text) {
    const int top = topIndex();
    if (index >= top && index <= top + visibleRows())
        viewChanged_ = true;
    const bool selected = send(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
    const bool changed = viewChanged_;
    {
        RedrawPause pause(*this);
        send(LB_DELETESTRING, static_cast<WPARAM>(index));
        const String terminated(text);
        send(LB_INSERTSTRING, static_cast<WPARAM>(index),
             reinterpret_cast<LPARAM>(terminated.c_str()));
        if (selected)
            setSelected(index, true);
        if (!changed)
            viewChanged_ = false;
    }
}

void ListBoxWindow::reset(int expectedCount) {
    viewChanged_ = true;
    send(LB_RESETCONTENT);
    if (expectedCount > 0) {
        send(LB_INITSTORAGE, static_cast<WPARAM>(expectedCount),
             static_cast<LPARAM>(expectedCount) * 64);
    }
}

void ListBoxWindow::replaceAll(const std::vector<String>& texts, const std::vector<int>& selected,
                               int top) {
    RedrawPause pause(*this);
    reset(static_cast<int>(texts.size()));
    for (const String& text : texts)
        send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    for (size_t i = 0; i < selected.size();) {
        size_t end = i + 1;
        while (end < selected.size() && selected[end] == selected[end - 1] + 1)
            ++end;
        selectRange(selected[i], selected[end - 1]);
        i = end;
    }
    setTopIndex(top);
}

void ListBoxWindow::insertMany(int index, const std::vector<String>& texts) {
    viewChanged_ = true;
    const int total = count();
    if (index >= total) {
        // Appended: nothing shifts, and no row needs its index looked up.
        RedrawPause pause(*this);
        for (const String& text : texts)
            send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    const double shifted = static_cast<double>(texts.size()) * std::max(0, total - index);
    if (shifted <= kRefillPerItem * (total + 1)) {
        RedrawPause pause(*this);
        ListBoxMirror::insertMany(index, texts);
        return;
    }
    std::vector<String> all;
    all.reserve(static_cast<size_t>(total) + texts.size());
    for (int i = 0; i < index; ++i)
        all.push_back(text(i));
    all.insert(all.end(), texts.begin(), texts.end());
    for (int i = index; i < total; ++i)
        all.push_back(text(i));
    const int added = static_cast<int>(texts.size());
    std::vector<int> selected = selection();
    for (int& row : selected) {
        if (row >= index)
            row += added;
    }
    const int top = topIndex();
    replaceAll(all, selected, top >= index ? top + added : top);
}

void ListBoxWindow::removeMany(const std::vector<int>& ascending) {
    viewChanged_ = true;
    const int total = count();
    const int removed = static_cast<int>(ascending.size());
    if (static_cast<double>(removed) * total <= kRefillPerItem * (total - removed + 1)) {
        RedrawPause pause(*this);
        ListBoxMirror::removeMany(ascending);
        return;
    }
    std::vector<String> kept;
    kept.reserve(static_cast<size_t>(total - removed));
    std::vector<int> selected;
    const std::vector<int> wasSelected = selection();
    const int top = topIndex();
    int newTop = 0;
    size_t next = 0;
    size_t nextSelected = 0;
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
            selected.push_back(static_cast<int>(kept.size()));
        kept.push_back(text(i));
    }
    replaceAll(kept, selected, newTop);
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
