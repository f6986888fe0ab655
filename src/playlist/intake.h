// How entries come into the play list: a media file opened (its whole folder
// is loaded), a folder (optionally with its sub-folders), an M3U list, a
// ".zav" search list, and files and folders dropped onto the list.
//
// There is no list of media types: every file is taken except pictures and
// texts (they belong to the text panel) and, inside folders, list files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "platform/file.h"
#include "playlist/playlist.h"
#include "playlist/playlist_file.h"
#include "playlist/row_at_point.h"

namespace zav2 {

// ".png", ".jpg", ".jpeg", ".txt" in any case: never entries.
bool isPictureOrText(StringView path);
// ".m3u", ".m3u8", ".zav" in any case: read when opened or dropped, skipped
// inside scanned folders.
bool isListFile(StringView path);

// What a scan needs from the settings. ignoreDir is a folder name never
// entered (exact case); empty means none.
struct IntakeSettings {
    bool searchSubFolders = false;
    String ignoreDir;
    bool noExt = false;
};

// Appends every acceptable file of the folder (depth first into sub-folders
// when `subFolders`), titled by its tags. Paths longer than the program keeps
// are skipped rather than cut into another name. The list box is not touched;
// the caller sorts.
void scanFolder(Playlist& playlist, StringView folder, bool subFolders, StringView ignoreDir);

// scanFolder a few folders at a time: each step lists folders and appends
// their files until `keepGoing` answers false (asked after each folder
// listed), so a caller can walk a big tree between other work. The order of
// the entries is scanFolder's.
class FolderWalk {
  public:
    FolderWalk(StringView folder, bool subFolders, StringView ignoreDir);
    // Answers whether the walk has ended.
    bool step(Playlist& playlist, const std::function<bool()>& keepGoing);

  private:
    struct Level {
        String folder;
        std::vector<FolderItem> items;
        size_t next = 0;
    };
    String root_;
    bool subFolders_;
    String ignoreDir_;
    bool started_ = false;
    std::vector<Level> levels_;  // the folders being listed, innermost last
};

// Inserts one entry and its row before at + count, then counts it.
void addFile(Playlist& playlist, ListBoxMirror& listBox, StringView path, int at, int& count,
             bool noExt);
// addFile for every acceptable file directly in the folder, in the order the
// file system lists them; sub-folders are never entered.
void addDroppedFolder(Playlist& playlist, ListBoxMirror& listBox, StringView folder, int at,
                      int& count, bool noExt);

// A name filter of a search list: "*" takes every name, a blank filter none;
// otherwise the words of the list filter (all must occur, "-word" must not;
// "OR a b" any of them), case-sensitive.
bool nameFilterMatches(StringView name, StringView filter);

// The three lines of a ".zav" file: a UTF-8 text, byte order mark skipped,
// each line at most 259 units. nullopt when the file cannot be read.
struct SearchListLines {
    String line1;
    String line2;
    String line3;
};
std::optional<SearchListLines> readSearchListLines(StringView zavPath);

// The folder a filter-form search list searches: its own folder when line 3
// is empty; line 3 as it stands when it has one or two units or a colon as
// its third; otherwise line 3 resolved against the search list's folder.
String searchListBaseFolder(StringView zavPath, StringView line3);

// Fills the list from a ".zav" file (entries only; the caller refills the
// list box) and answers the index that should become current. Entries are
// placed before at + count, count growing; a search list that links to a
// folder, a file or another list sorts the whole list. `current` keeps
// designating its entry throughout. Search lists naming each other stop after
// a few levels with what was found.
int readSearchList(Playlist& playlist, StringView zavPath, int at, int& count,
                   const IntakeSettings& settings);

// The insertion point of a drop onto the row under the point: before that
// row, at the end below the last row, and at 0 in an empty list.
int dropInsertionPoint(RowAtPoint hit, const Playlist& playlist);

// Inserts the dropped paths at `at` in the order of the drop: folders by
// addDroppedFolder, lists read in place, search lists as readSearchList (which
// sorts the whole list; the list box is then refilled), pictures and texts
// ignored, other files by addFile. The current folder becomes each item's
// parent. An empty list gets current 0; otherwise current stays on its entry.
// Answers how many entries were added. The caller recomputes the order.
int dropOnList(Playlist& playlist, ListBoxMirror& listBox, const std::vector<String>& paths, int at,
               String& currentFolder, const IntakeSettings& settings);

// How a path to open was chosen.
enum class PathChosenBy { CommandLine, FileDialog, FolderDialog, DropOutsideList, ResumeAtStartUp };

// The last run's current folder and entry, used by the resume at start-up.
struct ResumePoint {
    String folder;
    String playingPath;
};

struct OpenOutcome {
    bool pathExisted = false;
    // The path goes to the recent documents and the jump list.
    bool addToRecent = false;
};

// Replaces the whole list by what the path names: a list, a search list, or
// a media file's (or a folder's) folder, sorted. Sets current and the current
// folder, and recomputes the play order. The list box is the caller's: it
// empties it before and refills it once after.
OpenOutcome openPath(Playlist& playlist, String& currentFolder, StringView path, PathChosenBy how,
                     const IntakeSettings& settings, const ResumePoint& resume, bool randomMode);

// What an open reads a slice at a time: a folder's tree, or a list file's
// lines.
class OpeningRead {
  public:
    explicit OpeningRead(FolderWalk walk) : source_(std::move(walk)) {}
    explicit OpeningRead(ListFileRead read) : source_(std::move(read)) {}
    // Appends to `found` until `keepGoing` answers false; answers whether
    // the reading has ended.
    bool step(Playlist& found, const std::function<bool()>& keepGoing) {
        return std::visit([&](auto& source) { return source.step(found, keepGoing); }, source_);
    }

  private:
    std::variant<FolderWalk, ListFileRead> source_;
};

// openPath in two halves, for a caller that reads the folder or the list
// file between them a slice at a time. beginOpenPath does all of openPath for
// a search list or a missing path (`read` is then empty); for a list file, a
// folder or a media file it empties the list and answers the reading to run.
// endOpenPath takes the entries read into the list and does the rest: the
// sort of a folder's, current, the order.
struct OpenStart {
    OpenOutcome outcome;
    std::optional<OpeningRead> read;
    bool folder = false;
    bool listFile = false;
    // A resumed list: the entry to make current, and tags to read for the
    // entries the list holds no title for.
    bool resuming = false;
    String resumePath;
    // What the walk found is in list order already (see sortFound).
    bool sorted = false;
};
OpenStart beginOpenPath(Playlist& playlist, String& currentFolder, StringView path,
                        PathChosenBy how, const IntakeSettings& settings, const ResumePoint& resume,
                        bool randomMode);
void endOpenPath(Playlist& playlist, Playlist&& found, StringView path, const OpenStart& start,
                 bool randomMode);
// Puts what a folder walk found in list order ahead of endOpenPath, so that
// the window answers between the two (100,000 entries sort in 0.2 s).
void sortFound(Playlist& found, OpenStart& start);

}  // namespace zav2
