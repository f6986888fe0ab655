// The play list: one ordered list of media files, kept index-aligned at all
// times with the strings of the list box that shows it.
//
// The model is plain data; every operation that must touch the list box or the
// main window's caption goes through the two small interfaces below, which the
// Windows build implements over the real windows (playlist_win.h) and the tests
// implement in memory (tests/doubles/memory_list_box.h).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/text.h"

namespace zav2 {

struct PlaylistEntry {
    String path{};   // full path; the entry's key, compared exactly
    String title{};  // shown instead of the file name when not empty
    // Position in the play sequence (0-based); valid after recomputeOrder.
    int32_t order = 0;
    // The tags are still to be read (the row shows the file name meanwhile).
    // The flag travels with the entry through every sort, move and removal,
    // which is what keeps a title on its own row.
    bool titlePending = false;
    // The title is known but the row still shows the file name: a title
    // read for playback or for a command that needs them all is put on the
    // rows in one pass afterwards (pending_titles.h).
    bool rowBehind = false;
    // Where the title read ahead for this entry waits (title_read_ahead.h),
    // -1 when nowhere; valid only for the read-ahead that gave it. It
    // travels with the entry as the flags do.
    int32_t titleSlot = -1;
};

struct Playlist {
    std::vector<PlaylistEntry> entries;
    // The playing entry, or the one Play would start; -1 when the list is empty.
    int32_t current = -1;

    // Number of entries minus one, -1 when empty. Derived rather than stored,
    // so it can never drift from the entries.
    int32_t lastIndex() const { return static_cast<int32_t>(entries.size()) - 1; }
    bool empty() const { return entries.empty(); }
};

// The list box as the play list needs it: strings by row, no item data, and the
// user's (multiple) selection. Row i always shows entry i.
class ListBoxMirror {
  public:
    virtual ~ListBoxMirror() = default;

    virtual int count() const = 0;
    virtual String text(int index) const = 0;
    // Inserts before `index`; index == count() appends.
    virtual void insert(int index, StringView text) = 0;
    virtual void remove(int index) = 0;
    // Puts a new text on row `index`; the row keeps its selection. The
    // default removes and inserts the row.
    virtual void replace(int index, StringView text);
    // Empties the list and prepares room for `expectedCount` strings.
    virtual void reset(int expectedCount) = 0;

    // Bulk forms. The defaults loop over the single forms; a real list box
    // overrides them to avoid shifting its item array once per string.
    virtual void insertMany(int index, const std::vector<String>& texts);
    // `ascending` holds distinct valid indices in ascending order.
    virtual void removeMany(const std::vector<int>& ascending);

    // Selected rows in ascending order.
    virtual std::vector<int> selection() const = 0;
    virtual void setSelected(int index, bool selected) = 0;
    // Selects rows first ... last (inclusive).
    virtual void selectRange(int first, int last);
    // Selects the rows given in ascending order, a run of neighbours at a
    // time; rows past the end are left out.
    void selectRows(const std::vector<int>& ascending);
    virtual void selectAll() = 0;
    virtual void clearSelection() = 0;

    virtual int topIndex() const = 0;
    virtual void setTopIndex(int index) = 0;
    // The focus row, where the arrow keys move from, and the anchor, where a
    // Shift-selection extends from; -1 for none.
    virtual int caret() const { return -1; }
    virtual void setCaret(int index) { (void)index; }
    virtual int anchor() const { return -1; }
    virtual void setAnchor(int index) { (void)index; }
    // Whole rows that fit in the visible area (at least 1).
    virtual int visibleRows() const = 0;
    // Paints the list at once (after it became empty).
    virtual void repaint() = 0;
    // Painting off while many rows change, then on again with one repaint.
    // Calls nest; the outermost pair counts.
    virtual void setRedraw(bool on) { (void)on; }
};

// Where the user is in the list, by row: what a refill of the rows keeps.
struct ListViewPlace {
    std::vector<int> selected;  // ascending
    int top = 0;
    int caret = -1;
    int anchor = -1;
};
ListViewPlace viewPlace(const ListBoxMirror& listBox);
// Rows past the end are left out.
void restoreViewPlace(ListBoxMirror& listBox, const ListViewPlace& place);
// Every row's text anew, in one pass, keeping the place: the selection, the
// top row, the focus row and the anchor stay on their row numbers.
void refillRows(ListBoxMirror& listBox, const std::vector<String>& rows);

// Painting stays off for the life of this object.
class RedrawPause {
  public:
    explicit RedrawPause(ListBoxMirror& listBox) : listBox_(listBox) { listBox_.setRedraw(false); }
    ~RedrawPause() { listBox_.setRedraw(true); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

  private:
    ListBoxMirror& listBox_;
};

// The main window's caption, which long operations use as a progress display.
class CaptionTarget {
  public:
    virtual ~CaptionTarget() = default;
    virtual String text() const = 0;
    virtual void setText(StringView text) = 0;
};

// Title if any, else the file name, without its extension when noExt is on.
String displayText(const PlaylistEntry& entry, bool noExt);

// Inserts an entry before `position` and its display text at the same row.
// `current` is left alone: callers that insert before it move it themselves.
// `titlePending`: the tags are read later (pending_titles.h).
void insertEntry(Playlist& playlist, ListBoxMirror& listBox, int position, StringView path,
                 StringView title, bool noExt, bool titlePending = false);
// Model only; the folder scan appends, sorts, then rebuilds the list box.
void appendEntry(Playlist& playlist, StringView path, StringView title, bool titlePending = false);
// Empties the model (current becomes -1); the caller resets the list box.
void clear(Playlist& playlist);

// Refills the list box from the entries, showing "プレイリスト作成中... (i/n)" in
// the caption meanwhile and putting the caption back afterwards.
// No row is behind its entry afterwards.
void rebuildListBox(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist, bool noExt);

// Removes the selected entries. `onCurrentRemoved` runs once, when the current
// entry is among them (the caller stops playback and zeroes the seek bar and
// the taskbar progress). current then designates the entry that followed it,
// or the new last entry. An emptied list sets the caption to "Zav2".
// Returns true when the current entry was removed.
bool removeSelected(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                    const std::function<void()>& onCurrentRemoved);

// Move the selected rows one place; at the edge of the list nothing moves.
// The selection and the current entry move with their rows.
void moveSelectedUp(ListBoxMirror& listBox, Playlist& playlist);
void moveSelectedDown(ListBoxMirror& listBox, Playlist& playlist);
void selectAll(ListBoxMirror& listBox);

// Index of the first entry whose path equals `path` exactly; when none does,
// the last index (-1 for an empty list). Callers use it directly as current.
int32_t findByPath(const Playlist& playlist, StringView path);
// The title a media file's tags give, or empty.
using TitleFromTags = std::function<String(StringView path)>;

// A whole copy for playback, which must not hold a reference into entries.
// A title still pending is read first (by `reader`, else the tag readers),
// so the caption can show it; the row follows with the next slice of titles.
PlaylistEntry copyEntry(Playlist& playlist, int32_t index, const TitleFromTags& reader = {});

// Scrolls the entry into view (by one row in order modes; to the top in random
// mode unless forced) and makes it the only selected row.
void revealCurrent(ListBoxMirror& listBox, int32_t index, bool randomMode, bool force);

}  // namespace zav2
