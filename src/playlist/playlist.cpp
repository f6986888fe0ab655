#include "playlist/playlist.h"

#include <algorithm>

#include "platform/path.h"
#include "playlist/caption_progress.h"
#include "playlist/entry_rows.h"
#include "tags/tags.h"

namespace zav2 {

void ListBoxMirror::insertMany(int index, const std::vector<String>& texts) {
    for (const String& text : texts)
        insert(index++, text);
}

void ListBoxMirror::removeMany(const std::vector<int>& ascending) {
    for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
        remove(*it);
}

void ListBoxMirror::replace(int index, StringView text) {
    const std::vector<int> selected = selection();
    const bool wasSelected = std::binary_search(selected.begin(), selected.end(), index);
    remove(index);
    insert(index, text);
    if (wasSelected)
        setSelected(index, true);
}

void ListBoxMirror::selectRange(int first, int last) {
    for (int i = first; i <= last; ++i)
        setSelected(i, true);
}

void ListBoxMirror::selectRows(const std::vector<int>& ascending) {
    const int total = count();
    for (size_t i = 0; i < ascending.size();) {
        size_t end = i + 1;
        while (end < ascending.size() && ascending[end] == ascending[end - 1] + 1)
            ++end;
        if (ascending[i] < total)
            selectRange(ascending[i], std::min(ascending[end - 1], total - 1));
        i = end;
    }
}

String displayText(const PlaylistEntry& entry, bool noExt) {
    if (!entry.title.empty())
        return entry.title;
    const StringView name = fileName(entry.path);
    return noExt ? removeExtension(name) : String(name);
}

void insertEntry(Playlist& playlist, ListBoxMirror& listBox, int position, StringView path,
                 StringView title, bool noExt, bool titlePending) {
    position = std::clamp(position, 0, static_cast<int>(playlist.entries.size()));
    PlaylistEntry entry{String(path), String(title), 0, titlePending && title.empty()};
    listBox.insert(position, displayText(entry, noExt));
    playlist.entries.insert(playlist.entries.begin() + position, std::move(entry));
}

void appendEntry(Playlist& playlist, StringView path, StringView title, bool titlePending) {
    playlist.entries.push_back({String(path), String(title), 0, titlePending && title.empty()});
}

void clear(Playlist& playlist) {
    playlist.entries.clear();
    playlist.current = -1;
}

void rebuildListBox(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                    bool noExt) {
    const String saved = caption.text();
    const int total = static_cast<int>(playlist.entries.size());
    RedrawPause pause(listBox);
    listBox.reset(total);
    CaptionProgress progress(caption, kRebuildingCaption, total);
    // In batches, one between two steps of the progress: a batch appended to
    // the box costs nothing per row already there.
    constexpr int kBatches = 20;
    const int batch = std::max(1, (total + kBatches - 1) / kBatches);
    std::vector<String> rows;
    for (int first = 0; first < total; first += batch) {
        const int end = std::min(total, first + batch);
        rows.clear();
        for (int i = first; i < end; ++i) {
            progress.step(i);
            PlaylistEntry& entry = playlist.entries[static_cast<size_t>(i)];
            entry.rowBehind = false;
            rows.push_back(displayText(entry, noExt));
        }
        listBox.insertMany(first, rows);
    }
    caption.setText(saved);
}

namespace {

// The selection as the model sees it: valid, distinct, ascending.
std::vector<int> selectedRows(const ListBoxMirror& listBox, const Playlist& playlist) {
    std::vector<int> rows = listBox.selection();
    const int last = playlist.lastIndex();
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [last](int row) { return row < 0 || row > last; }),
        rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

}  // namespace

bool removeSelected(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                    const std::function<void()>& onCurrentRemoved) {
    const std::vector<int> rows = selectedRows(listBox, playlist);
    if (rows.empty())
        return false;
    const int current = playlist.current;
    const bool currentRemoved = std::binary_search(rows.begin(), rows.end(), current);
    if (currentRemoved && onCurrentRemoved)
        onCurrentRemoved();

    const int removedBelow =
        static_cast<int>(std::lower_bound(rows.begin(), rows.end(), current) - rows.begin());
    eraseRows(playlist.entries, rows);
    {
        RedrawPause pause(listBox);
        listBox.removeMany(rows);
    }

    // The entry that followed a removed current one takes its place; past the
    // end, the new last entry.
    if (current >= 0)
        playlist.current = std::min(current - removedBelow, playlist.lastIndex());
    if (playlist.empty()) {
        playlist.current = -1;
        caption.setText(kEmptyCaption);
        listBox.repaint();
    }
    return currentRemoved;
}

namespace {

// Maximal runs of consecutive selected rows, as [first, last] pairs.
std::vector<std::pair<int, int>> runsOf(const std::vector<int>& rows) {
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.push_back({row, row});
    }
    return runs;
}

}  // namespace

// A run of selected rows moving down one place is the same as the unselected
// row below it moving up above the run: one string moves, not one per row.
void moveSelectedDown(ListBoxMirror& listBox, Playlist& playlist) {
    const std::vector<int> rows = selectedRows(listBox, playlist);
    if (rows.empty() || rows.back() == playlist.lastIndex())
        return;
    RedrawPause pause(listBox);
    listBox.clearSelection();
    auto& entries = playlist.entries;
    for (const auto& [first, last] : runsOf(rows)) {
        const int below = last + 1;
        const String text = listBox.text(below);
        listBox.remove(below);
        listBox.insert(first, text);
        std::rotate(entries.begin() + first, entries.begin() + below, entries.begin() + below + 1);
        if (playlist.current >= first && playlist.current <= last)
            ++playlist.current;
        else if (playlist.current == below)
            playlist.current = first;
    }
    for (const auto& [first, last] : runsOf(rows))
        listBox.selectRange(first + 1, last + 1);
}

void moveSelectedUp(ListBoxMirror& listBox, Playlist& playlist) {
    const std::vector<int> rows = selectedRows(listBox, playlist);
    if (rows.empty() || rows.front() == 0)
        return;
    RedrawPause pause(listBox);
    listBox.clearSelection();
    auto& entries = playlist.entries;
    for (const auto& [first, last] : runsOf(rows)) {
        const int above = first - 1;
        const String text = listBox.text(above);
        listBox.remove(above);
        listBox.insert(last, text);
        std::rotate(entries.begin() + above, entries.begin() + first, entries.begin() + last + 1);
        if (playlist.current >= first && playlist.current <= last)
            --playlist.current;
        else if (playlist.current == above)
            playlist.current = last;
    }
    for (const auto& [first, last] : runsOf(rows))
        listBox.selectRange(first - 1, last - 1);
}

void selectAll(ListBoxMirror& listBox) {
    listBox.selectAll();
}

int32_t findByPath(const Playlist& playlist, StringView path) {
    const int32_t last = playlist.lastIndex();
    for (int32_t i = 0; i < last; ++i) {
        if (playlist.entries[static_cast<size_t>(i)].path == path)
            return i;
    }
    return last;
}

PlaylistEntry copyEntry(Playlist& playlist, int32_t index, const TitleFromTags& reader) {
    if (index < 0 || index > playlist.lastIndex())
        return {};
    PlaylistEntry& entry = playlist.entries[static_cast<size_t>(index)];
    if (entry.titlePending) {
        entry.title = reader ? reader(entry.path) : readTitle(entry.path);
        entry.titlePending = false;
        entry.rowBehind = !entry.title.empty();
    }
    return entry;
}

void revealCurrent(ListBoxMirror& listBox, int32_t index, bool randomMode, bool force) {
    if (index < 0 || index >= listBox.count())
        return;
    if (!randomMode || force) {
        // Scroll as little as shows the entry: one row when it is the next one
        // below the view, as many as needed after a jump.
        const int top = listBox.topIndex();
        const int rows = std::max(1, listBox.visibleRows());
        if (index < top)
            listBox.setTopIndex(index);
        else if (top + rows - 1 < index)
            listBox.setTopIndex(index - rows + 1);
    } else {
        listBox.setTopIndex(index);
    }
    listBox.clearSelection();
    listBox.setSelected(index, true);
}

}  // namespace zav2
