#include "playlist/pending_titles.h"

#include <algorithm>

#include "playlist/caption_progress.h"

namespace zav2 {

void applyTitle(Playlist& playlist, ListBoxMirror& listBox, int index, String title, bool noExt,
                bool showRow) {
    PlaylistEntry& entry = playlist.entries[static_cast<size_t>(index)];
    entry.titlePending = false;
    if (title.empty())
        return;
    entry.title = std::move(title);
    entry.rowBehind = !showRow;
    if (showRow)
        listBox.replace(index, displayText(entry, noExt));
}

namespace {

// The next pending entry from `from` on, wrapping round; -1 when none is.
int nextPending(const Playlist& playlist, size_t from) {
    const auto& entries = playlist.entries;
    const size_t count = entries.size();
    from = from < count ? from : 0;
    for (size_t step = 0; step < count; ++step) {
        const size_t i = (from + step) % count;
        if (entries[i].titlePending)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int readTitleSlice(Playlist& playlist, ListBoxMirror& listBox, TitleWork& work,
                   const TitleFromTags& readTitle, const std::function<bool()>& keepGoing,
                   const TitleSliceOptions& options, TitleReadAhead* ahead) {
    work.waiting = false;
    const int count = static_cast<int>(playlist.entries.size());
    if (count == 0)
        return 0;
    const int top = std::clamp(listBox.topIndex(), 0, count - 1);
    const int bottom = std::min(count, top + listBox.visibleRows() + 1);
    int read = 0;
    bool stop = false;
    RedrawPause pause(listBox);
    for (int i = top; i < bottom; ++i) {
        PlaylistEntry& entry = playlist.entries[static_cast<size_t>(i)];
        if (entry.titlePending) {
            if (stop)
                continue;
            String title;
            if (!ahead || ahead->take(entry, title) != TitleReadAhead::Take::Ready) {
                if (ahead && !ahead->claim(entry)) {
                    // In the worker's hands: its wake-up brings the title.
                    work.waiting = true;
                    continue;
                }
                title = readTitle(entry.path);
            }
            applyTitle(playlist, listBox, i, std::move(title), options.noExt, true);
            ++read;
            stop = !keepGoing();
        } else if (entry.rowBehind) {
            entry.rowBehind = false;
            listBox.replace(i, displayText(entry, options.noExt));
        }
    }
    while (!stop) {
        const int i = nextPending(playlist, work.cursor);
        if (i < 0)
            break;
        PlaylistEntry& entry = playlist.entries[static_cast<size_t>(i)];
        String title;
        const auto took = ahead ? ahead->take(entry, title) : TitleReadAhead::Take::NotGiven;
        if (took == TitleReadAhead::Take::Waiting) {
            // Reading it here too would race the worker for the same files.
            work.cursor = static_cast<size_t>(i);
            work.waiting = true;
            break;
        }
        work.cursor = static_cast<size_t>(i) + 1;
        if (took == TitleReadAhead::Take::NotGiven)
            title = readTitle(entry.path);
        applyTitle(playlist, listBox, i, std::move(title), options.noExt, true);
        ++read;
        stop = !keepGoing();
    }
    // Replacing a row near the end can scroll a short list box.
    if (read > 0 && listBox.topIndex() != top)
        listBox.setTopIndex(top);
    return read;
}

int countPendingTitles(const Playlist& playlist) {
    return static_cast<int>(std::count_if(playlist.entries.begin(), playlist.entries.end(),
                                          [](const PlaylistEntry& e) { return e.titlePending; }));
}

bool hasPendingTitles(const Playlist& playlist, size_t from) {
    return nextPending(playlist, from) >= 0;
}

bool hasRowsBehind(const Playlist& playlist) {
    return std::any_of(playlist.entries.begin(), playlist.entries.end(),
                       [](const PlaylistEntry& e) { return e.rowBehind; });
}

void refreshRows(ListBoxMirror& listBox, Playlist& playlist, bool noExt) {
    std::vector<String> rows;
    rows.reserve(playlist.entries.size());
    for (PlaylistEntry& entry : playlist.entries) {
        entry.rowBehind = false;
        rows.push_back(displayText(entry, noExt));
    }
    refillRows(listBox, rows);
}

void finishPendingTitles(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                         const TitleFromTags& readTitle, bool noExt, TitleReadAhead* ahead) {
    if (ahead)
        ahead->stop();
    const int total = countPendingTitles(playlist);
    if (total > 0) {
        const String saved = caption.text();
        CaptionProgress progress(caption, kRebuildingCaption, total);
        int done = 0;
        for (size_t i = 0; i < playlist.entries.size(); ++i) {
            PlaylistEntry& entry = playlist.entries[i];
            if (!entry.titlePending)
                continue;
            progress.step(done++);
            String title;
            if (!ahead || ahead->take(entry, title) != TitleReadAhead::Take::Ready)
                title = readTitle(entry.path);
            applyTitle(playlist, listBox, static_cast<int>(i), std::move(title), noExt, false);
        }
        caption.setText(saved);
    }
    if (ahead)
        ahead->reset();
    if (hasRowsBehind(playlist))
        refreshRows(listBox, playlist, noExt);
}

}  // namespace zav2
