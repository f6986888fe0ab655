#include "playlist/intake.h"

#include <algorithm>
#include <iterator>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/intake_internal.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_order.h"

namespace zav2 {

namespace {

bool extensionIn(StringView path, std::initializer_list<const Char*> set) {
    const StringView ext = extension(path);
    return std::any_of(set.begin(), set.end(),
                       [&](const Char* member) { return equalsIgnoreCase(ext, member); });
}

}  // namespace

bool isPictureOrText(StringView path) {
    return extensionIn(path, {ZT(".png"), ZT(".jpg"), ZT(".jpeg"), ZT(".txt")});
}

bool isListFile(StringView path) {
    return extensionIn(path, {ZT(".m3u"), ZT(".m3u8"), ZT(".zav")});
}

String itemPath(StringView folder, StringView name) {
    String path = combinePath(folder, name);
    // A longer path would be cut to another name by every buffer behind it.
    if (path.size() > kMaxPath)
        path.clear();
    return path;
}

void insertKeepingCurrent(Playlist& playlist, int index, PlaylistEntry entry) {
    index = std::clamp(index, 0, static_cast<int>(playlist.entries.size()));
    playlist.entries.insert(playlist.entries.begin() + index, std::move(entry));
    if (playlist.current >= index)
        ++playlist.current;
}

void scanAndSort(Playlist& playlist, StringView folder, const IntakeSettings& settings) {
    scanFolder(playlist, folder, settings.searchSubFolders, settings.ignoreDir);
    sortPlaylist(playlist);
}

void scanFolder(Playlist& playlist, StringView folder, bool subFolders, StringView ignoreDir) {
    FolderWalk walk(folder, subFolders, ignoreDir);
    walk.step(playlist, [] { return true; });
}

FolderWalk::FolderWalk(StringView folder, bool subFolders, StringView ignoreDir)
    : root_(folder), subFolders_(subFolders), ignoreDir_(ignoreDir) {}

bool FolderWalk::step(Playlist& playlist, const std::function<bool()>& keepGoing) {
    if (!started_) {
        started_ = true;
        levels_.push_back({root_, listFolder(root_)});
        if (!keepGoing())
            return false;
    }
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.items.size()) {
            levels_.pop_back();
            continue;
        }
        const FolderItem& item = level.items[level.next++];
        String path = itemPath(level.folder, item.name);
        if (path.empty())
            continue;
        if (item.isFolder) {
            if (!subFolders_ || item.name == ignoreDir_)
                continue;
            std::vector<FolderItem> items = listFolder(path);
            levels_.push_back({std::move(path), std::move(items)});
            if (!keepGoing())
                return false;
            continue;
        }
        if (isPictureOrText(item.name) || isListFile(item.name))
            continue;
        appendEntry(playlist, path, {}, true);
    }
    return true;
}

void addFile(Playlist& playlist, ListBoxMirror& listBox, StringView path, int at, int& count,
             bool noExt) {
    insertEntry(playlist, listBox, at + count, path, {}, noExt, true);
    ++count;
}

// One splice for the whole folder, painting paused, as a list file's drop:
// inserting file by file shifted the entries and the rows once per file and
// painted each string, seconds for a big folder dropped on a big list.
void addDroppedFolder(Playlist& playlist, ListBoxMirror& listBox, StringView folder, int at,
                      int& count, bool noExt) {
    std::vector<PlaylistEntry> added;
    std::vector<String> rows;
    for (const FolderItem& item : listFolder(folder)) {
        if (item.isFolder || isPictureOrText(item.name) || isListFile(item.name))
            continue;
        String path = itemPath(folder, item.name);
        if (path.empty())
            continue;
        added.push_back({std::move(path), {}, 0, true});
        rows.push_back(displayText(added.back(), noExt));
    }
    if (added.empty())
        return;
    const int position = std::clamp(at + count, 0, static_cast<int>(playlist.entries.size()));
    playlist.entries.insert(playlist.entries.begin() + position,
                            std::make_move_iterator(added.begin()),
                            std::make_move_iterator(added.end()));
    RedrawPause pause(listBox);
    listBox.insertMany(position, rows);
    count += static_cast<int>(added.size());
}

int dropInsertionPoint(RowAtPoint hit, const Playlist& playlist) {
    if (hit.below)
        return playlist.lastIndex() + 1;
    return std::clamp(hit.row, 0, playlist.lastIndex() + 1);
}

int dropOnList(Playlist& playlist, ListBoxMirror& listBox, const std::vector<String>& paths, int at,
               String& currentFolder, const IntakeSettings& settings) {
    const bool wasEmpty = playlist.empty();
    const size_t sizeBefore = playlist.entries.size();
    at = std::clamp(at, 0, static_cast<int>(sizeBefore));
    int count = 0;
    for (const String& path : paths) {
        currentFolder = folderOf(path);
        const int countBefore = count;
        const size_t entriesBefore = playlist.entries.size();
        if (isDirectory(path)) {
            addDroppedFolder(playlist, listBox, path, at, count, settings.noExt);
        } else if (isPictureOrText(path)) {
            continue;
        } else if (equalsIgnoreCase(extension(path), ZT(".zav"))) {
            // Reading a search list sorts the whole list: refill the rows so the
            // items that follow are inserted into an aligned list box.
            readSearchList(playlist, path, at, count, settings);
            refillListBox(listBox, playlist, settings.noExt);
            continue;
        } else if (isListFile(path)) {
            readPlaylistFile(playlist, path, folderOf(path), at, count, &listBox, settings.noExt);
        } else {
            addFile(playlist, listBox, path, at, count, settings.noExt);
        }
        // The block went in at at + countBefore: an entry at or after it moved.
        const int added = static_cast<int>(playlist.entries.size() - entriesBefore);
        if (playlist.current >= at + countBefore)
            playlist.current += added;
    }
    if (playlist.empty())
        playlist.current = -1;
    else if (wasEmpty)
        playlist.current = 0;
    return static_cast<int>(playlist.entries.size() - sizeBefore);
}

void refillListBox(ListBoxMirror& listBox, Playlist& playlist, bool noExt) {
    std::vector<String> rows;
    rows.reserve(playlist.entries.size());
    for (PlaylistEntry& entry : playlist.entries) {
        entry.rowBehind = false;
        rows.push_back(displayText(entry, noExt));
    }
    listBox.reset(static_cast<int>(rows.size()));
    listBox.insertMany(0, rows);
}

OpenOutcome openPath(Playlist& playlist, String& currentFolder, StringView path, PathChosenBy how,
                     const IntakeSettings& settings, const ResumePoint& resume, bool randomMode) {
    OpenStart start =
        beginOpenPath(playlist, currentFolder, path, how, settings, resume, randomMode);
    if (start.read) {
        Playlist found;
        start.read->step(found, [] { return true; });
        endOpenPath(playlist, std::move(found), path, start, randomMode);
    }
    return start.outcome;
}

void endOpenPath(Playlist& playlist, Playlist&& found, StringView path, const OpenStart& start,
                 bool randomMode) {
    playlist.entries = std::move(found.entries);
    if (start.listFile) {
        playlist.current = start.resuming ? findByPath(playlist, start.resumePath) : 0;
        // The resume list holds a title for every entry whose tags were read
        // before the exit; the others are read again, after the rows.
        if (start.resuming) {
            for (PlaylistEntry& entry : playlist.entries)
                entry.titlePending = entry.title.empty();
        }
    } else {
        if (!start.sorted)
            sortPlaylist(playlist);
        playlist.current = start.folder ? 0 : findByPath(playlist, path);
    }
    if (playlist.empty()) {
        playlist.current = -1;
        return;
    }
    playlist.current = std::clamp(playlist.current, 0, playlist.lastIndex());
    recomputeOrder(playlist, randomMode);
}

void sortFound(Playlist& found, OpenStart& start) {
    if (!start.listFile && !start.sorted)
        sortPlaylist(found);
    start.sorted = true;
}

OpenStart beginOpenPath(Playlist& playlist, String& currentFolder, StringView path,
                        PathChosenBy how, const IntakeSettings& settings, const ResumePoint& resume,
                        bool randomMode) {
    OpenStart start;
    OpenOutcome& outcome = start.outcome;
    clear(playlist);
    // A folder is opened as a folder however it arrived: from the command line,
    // a second start or a recent item it would otherwise load its parent.
    const bool folder = isDirectory(path);
    const bool resuming = how == PathChosenBy::ResumeAtStartUp;
    if (resuming)
        currentFolder = resume.folder;
    else if (folder)
        currentFolder.assign(path);
    else
        currentFolder = folderOf(path);

    outcome.pathExisted = pathExists(path);
    if (!outcome.pathExisted)
        return start;
    outcome.addToRecent = !resuming;

    const StringView ext = extension(path);
    int count = 0;
    if (!folder && (equalsIgnoreCase(ext, ZT(".m3u")) || equalsIgnoreCase(ext, ZT(".m3u8")))) {
        start.read.emplace(ListFileRead(path, currentFolder));
        start.listFile = true;
        start.resuming = resuming;
        start.resumePath = resume.playingPath;
        return start;
    } else if (!folder && equalsIgnoreCase(ext, ZT(".zav"))) {
        playlist.current = readSearchList(playlist, path, 0, count, settings);
    } else {
        start.read.emplace(
            FolderWalk(currentFolder, settings.searchSubFolders, settings.ignoreDir));
        start.folder = folder;
        return start;
    }

    if (playlist.empty()) {
        playlist.current = -1;
        return start;
    }
    playlist.current = std::clamp(playlist.current, 0, playlist.lastIndex());
    recomputeOrder(playlist, randomMode);
    return start;
}

}  // namespace zav2
