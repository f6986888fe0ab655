// Extended M3U play lists: ".m3u" in the ANSI code page, ".m3u8" (and any
// other name) in UTF-8 with a byte order mark; and the resume list written at
// exit beside the program.
#pragma once

#include <functional>
#include <string>

#include "playlist/playlist.h"

namespace zav2 {

enum class ListEncoding { Utf8, Ansi };

// ".m3u" in any case is ANSI; everything else UTF-8.
ListEncoding listEncodingFor(StringView listPath);

// Text of a list file. A byte order mark (UTF-8, UTF-16) wins over the
// encoding chosen by the name.
String decodeListFile(std::string_view bytes, ListEncoding encoding);

// Where a path line of a list points: a line containing ":\" as it stands,
// anything else joined to the base folder like the shell's path combiner
// (".." and "." resolved, "\x" on the base folder's drive).
String resolveListLine(StringView baseFolder, StringView line);

// A list file read a slice at a time, for an open that reads it between
// messages: each step appends the entries of further lines (existing files,
// with their "#EXTINF" titles, no tags read) until `keepGoing` answers false,
// asked after each entry. Answers whether the file has ended. An unreadable
// list has no lines. The bytes are decoded a piece of whole lines at a time
// (pieceBytes or a little more), so that no step decodes a big list in one go.
class ListFileRead {
  public:
    ListFileRead(StringView listPath, StringView baseFolder, size_t pieceBytes = 256u << 10);
    bool step(Playlist& found, const std::function<bool()>& keepGoing);

  private:
    bool decodeNextPiece();

    std::string bytes_;
    size_t decoded_ = 0;  // bytes_ decoded so far
    size_t pieceBytes_;
    ListEncoding encoding_ = ListEncoding::Utf8;
    String text_;  // the piece being read
    String baseFolder_;
    size_t next_ = 0;
    String pendingTitle_;
};

// Reads a list file and inserts its existing files as entries before index
// at + count, count growing by one per entry. "#EXTINF" titles wait for the
// next existing file. With a list box, each entry's row is added too: the list
// title, else the full path (without extension when noExt); entries without a
// list title then wait for their tags (pending_titles.h).
// An unreadable list adds nothing. current is left to the caller.
void readPlaylistFile(Playlist& playlist, StringView listPath, StringView baseFolder, int at,
                      int& count, ListBoxMirror* listBox, bool noExt);

// The path line written for an entry: the full path for the resume list;
// otherwise ".\name" for an entry in the current folder, ".\" and the rest of
// the path for one below it, else the full path.
String listLinePath(StringView entryPath, StringView currentFolder, bool automatic);

struct PlaylistWriteOptions {
    bool automatic = false;  // the resume list: full paths only
    String currentFolder;    // base of the relative path forms
    bool noExt = false;
    // The loaded media's length, written on the current entry's "#EXTINF"
    // line; the others' lengths are not known and are written as 0.
    int durationSeconds = 0;
    ListEncoding encoding = ListEncoding::Utf8;
    // ANSI lists: a form of a path that the code page can hold (the short
    // name on Windows). Paths it cannot hold otherwise would no longer find
    // their files. Empty answer: none.
    std::function<String(StringView)> representablePath;
};

// The bytes of the list file. onEntry(i) runs before entry i is formatted.
std::string formatPlaylistFile(const Playlist& playlist, const PlaylistWriteOptions& options,
                               const std::function<void(int)>& onEntry = {});

// The resume list as written at exit (full paths, UTF-8), without progress in
// the caption: for the saves while the program runs. False when the list is
// empty or the write failed.
bool writeResumeList(StringView target, const Playlist& playlist, bool noExt, int durationSeconds);

// Writes the list to `target` through a temporary file beside it, so a failure
// (full disk, crash) leaves the previous file whole. While it works the caption
// shows "プレイリスト保存中... (i/n)"; afterwards `captionToRestore`. An empty list
// writes nothing. Returns true when the file was written.
bool savePlaylistFile(CaptionTarget& caption, StringView target, const Playlist& playlist,
                      const PlaylistWriteOptions& options, StringView captionToRestore);

// The automatic play list: the program path with ".m3u8", or for a named
// instance (a name starting with "-") the instance name with ".m3u8" in the
// program's folder.
String resumeListPath(StringView programPath, StringView instanceName);

}  // namespace zav2
