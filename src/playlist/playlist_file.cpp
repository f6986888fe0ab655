#include "playlist/playlist_file.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/caption_progress.h"

namespace zav2 {

namespace {

// Far beyond any real list; keeps a hostile "list" from filling memory.
constexpr uint64_t kMaxListFileBytes = 256u << 20;

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

ListEncoding listEncodingFor(StringView listPath) {
    return equalsIgnoreCase(extension(listPath), ZT(".m3u")) ? ListEncoding::Ansi
                                                             : ListEncoding::Utf8;
}

String decodeListFile(std::string_view bytes, ListEncoding encoding) {
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return utf8ToUtf16(bytes.substr(3));
    if (startsWith(bytes, "\xFF\xFE"))
        return utf16leToString(bytes.substr(2));
    if (startsWith(bytes, "\xFE\xFF"))
        return utf16beToString(bytes.substr(2));
    return encoding == ListEncoding::Ansi ? ansiToUtf16(bytes) : utf8ToUtf16(bytes);
}

namespace {

// Removes "." and ".." components the way the shell's combiner does; ".."
// never climbs above the root.
String canonicalize(StringView path) {
    size_t root = 0;
    if (path.size() >= 2 && path[1] == ':') {
        root = 2;
        if (path.size() > 2 && isPathSeparator(path[2]))
            root = 3;
    } else if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        // \\server\share\ stays as it is.
        size_t separators = 0;
        root = 2;
        while (root < path.size() && separators < 2) {
            if (isPathSeparator(path[root]))
                ++separators;
            ++root;
        }
    } else if (!path.empty() && isPathSeparator(path[0])) {
        root = 1;
    }
    Char separator = kPathSeparator;
    for (Char c : path) {
        if (isPathSeparator(c)) {
            separator = c;
            break;
        }
    }
    std::vector<StringView> parts;
    size_t i = root;
    while (i <= path.size()) {
        size_t end = i;
        while (end < path.size() && !isPathSeparator(path[end]))
            ++end;
        const StringView part = path.substr(i, end - i);
        if (part == ZT("..")) {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ZT(".")) {
            parts.push_back(part);
        }
        i = end + 1;
    }
    String out(path.substr(0, root));
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0)
            out.push_back(separator);
        out.append(parts[k]);
    }
    return out;
}

}  // namespace

String resolveListLine(StringView baseFolder, StringView line) {
    if (line.find(ZT(":\\")) != StringView::npos)
        return String(line);
    // "\music\a.mp3" lies on the base folder's drive.
    const bool rooted = !line.empty() && isPathSeparator(line[0]) &&
                        !(line.size() >= 2 && isPathSeparator(line[1]));
    if (rooted && baseFolder.size() >= 2 && baseFolder[1] == ':')
        return canonicalize(String(baseFolder.substr(0, 2)) + String(line));
    return canonicalize(combinePath(baseFolder, line));
}

ListFileRead::ListFileRead(StringView listPath, StringView baseFolder, size_t pieceBytes)
    : pieceBytes_(std::max<size_t>(pieceBytes, 1)), baseFolder_(baseFolder) {
    if (auto bytes = readWholeFile(listPath, kMaxListFileBytes))
        bytes_ = std::move(*bytes);
    encoding_ = listEncodingFor(listPath);
    if (startsWith(bytes_, "\xEF\xBB\xBF")) {
        encoding_ = ListEncoding::Utf8;
        decoded_ = 3;
    } else if (startsWith(bytes_, "\xFF\xFE") || startsWith(bytes_, "\xFE\xFF")) {
        // Wide lists are rare and small: read in one piece.
        text_ = decodeListFile(bytes_, encoding_);
        decoded_ = bytes_.size();
    }
}

bool ListFileRead::decodeNextPiece() {
    if (decoded_ >= bytes_.size())
        return false;
    // Pieces end after a line break: in UTF-8 and in the ANSI code pages a
    // 0x0A byte is never part of a longer character.
    size_t end = std::min(bytes_.size(), decoded_ + pieceBytes_);
    if (end < bytes_.size()) {
        const size_t lineEnd = bytes_.find('\n', end - 1);
        end = lineEnd == std::string::npos ? bytes_.size() : lineEnd + 1;
    }
    const std::string_view piece(bytes_.data() + decoded_, end - decoded_);
    text_ = encoding_ == ListEncoding::Ansi ? ansiToUtf16(piece) : utf8ToUtf16(piece);
    next_ = 0;
    decoded_ = end;
    return true;
}

bool ListFileRead::step(Playlist& found, const std::function<bool()>& keepGoing) {
    while (next_ < text_.size() || decodeNextPiece()) {
        size_t end = text_.find('\n', next_);
        const bool terminated = end != String::npos;
        if (!terminated)
            end = text_.size();
        StringView line(text_.data() + next_, end - next_);
        next_ = end + 1;
        if (terminated && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // Lines are taken whole, however long: cutting one would turn the rest
        // of a long path into a line of its own.
        if (line.size() + (terminated ? 1 : 0) <= 2)
            continue;
        if (line.find(ZT("#EXTINF:")) != StringView::npos) {
            const size_t comma = line.find(',');
            pendingTitle_.assign(comma != StringView::npos
                                     ? line.substr(comma + 1)
                                     : line.substr(std::min<size_t>(8, line.size())));
            continue;
        }
        // The file system would see a path with a NUL as ending there, naming
        // some other file or the folder itself.
        if (line.front() == '#' || line.find(Char{0}) != StringView::npos)
            continue;
        String path = resolveListLine(baseFolder_, line);
        // Everything after the list works in 260-unit buffers, where a longer
        // path would be cut into another one: it is skipped, as in a folder
        // scan.
        if (path.size() > kMaxPath || !pathExists(path))
            continue;  // the pending title waits for the next existing file
        found.entries.push_back({std::move(path), std::move(pendingTitle_)});
        pendingTitle_.clear();
        if (!keepGoing())
            return next_ >= text_.size() && decoded_ >= bytes_.size();
    }
    // The text of a big list is not kept after its read.
    text_ = String();
    bytes_ = std::string();
    return true;
}

void readPlaylistFile(Playlist& playlist, StringView listPath, StringView baseFolder, int at,
                      int& count, ListBoxMirror* listBox, bool noExt) {
    Playlist read;
    ListFileRead(listPath, baseFolder).step(read, [] { return true; });
    std::vector<PlaylistEntry>& added = read.entries;
    std::vector<String> rows;
    for (PlaylistEntry& entry : added) {
        if (!listBox)
            continue;
        // Rows added to a shown list have their tags read later: the row
        // shows the path until then.
        entry.titlePending = entry.title.empty();
        rows.push_back(entry.title.empty() ? (noExt ? removeExtension(entry.path) : entry.path)
                                           : entry.title);
    }

    // One insertion of the whole batch: the same result as inserting entry by
    // entry at at + count, without shifting the tail once per entry.
    const int position = std::clamp(at + count, 0, static_cast<int>(playlist.entries.size()));
    playlist.entries.insert(playlist.entries.begin() + position,
                            std::make_move_iterator(added.begin()),
                            std::make_move_iterator(added.end()));
    if (listBox && !rows.empty()) {
        RedrawPause pause(*listBox);
        listBox->insertMany(position, rows);
    }
    count += static_cast<int>(added.size());
}

namespace {

// A folder as the path-line rules compare it: no trailing separator except at
// a root ("D:\").
StringView trimFolder(StringView folder) {
    while (folder.size() > 1 && isPathSeparator(folder.back()) &&
           !(folder.size() == 3 && folder[1] == ':'))
        folder.remove_suffix(1);
    return folder;
}

bool isAscii(StringView text) {
    return std::all_of(text.begin(), text.end(), [](Char c) { return c < 0x80; });
}

bool ansiCanHold(StringView text) {
    return isAscii(text) || ansiToUtf16(utf16ToAnsi(text)) == text;
}

}  // namespace

String listLinePath(StringView entryPath, StringView currentFolder, bool automatic) {
    const StringView folder = trimFolder(currentFolder);
    if (automatic || folder.empty())
        return String(entryPath);
    // Relative lines start with ".\": a bare "#1 intro.mp3" would read back
    // as a comment, and a name of one or two letters as a blank line.
    const auto here = [&entryPath](StringView rest) {
        const size_t at = entryPath.find_first_of(ZT("\\/"));
        const Char separator = at == StringView::npos ? kPathSeparator : entryPath[at];
        return String(ZT(".")) + separator + String(rest);
    };
    if (equalsIgnoreCase(trimFolder(folderOf(entryPath)), folder))
        return here(fileName(entryPath));
    const bool rooted = isPathSeparator(folder.back());  // "D:\"
    if (entryPath.size() > folder.size() && entryPath.substr(0, folder.size()) == folder &&
        (rooted || isPathSeparator(entryPath[folder.size()]))) {
        return here(entryPath.substr(folder.size() + (rooted ? 0 : 1)));
    }
    return String(entryPath);
}

std::string formatPlaylistFile(const Playlist& playlist, const PlaylistWriteOptions& options,
                               const std::function<void(int)>& onEntry) {
    const bool ansi = options.encoding == ListEncoding::Ansi;
    const std::string duration = std::to_string(options.durationSeconds);
    const String currentPrefix =
        ZT("#EXTINF:") + String(duration.begin(), duration.end()) + ZT(",");
    const String otherPrefix = ZT("#EXTINF:0,");
    String text = ZT("#EXTM3U\r\n");
    for (size_t i = 0; i < playlist.entries.size(); ++i) {
        if (onEntry)
            onEntry(static_cast<int>(i));
        const PlaylistEntry& entry = playlist.entries[i];
        text += static_cast<int>(i) == playlist.current ? currentPrefix : otherPrefix;
        // A line break in a title would end the line there when read back.
        // A title not read yet is left out rather than written as the name:
        // the next start reads it from the tags.
        String title = entry.titlePending ? String() : displayText(entry, options.noExt);
        std::replace_if(
            title.begin(), title.end(), [](Char c) { return c == '\r' || c == '\n'; }, Char(' '));
        text += title;
        text += ZT("\r\n");
        String path = entry.path;
        if (ansi && options.representablePath && !ansiCanHold(path)) {
            String held = options.representablePath(path);
            if (!held.empty() && ansiCanHold(held))
                path = std::move(held);
        }
        text += listLinePath(path, options.currentFolder, options.automatic);
        text += ZT("\r\n");
    }
    if (ansi)
        return utf16ToAnsi(text);
    return "\xEF\xBB\xBF" + utf16ToUtf8(text);
}

bool writeResumeList(StringView target, const Playlist& playlist, bool noExt, int durationSeconds) {
    if (playlist.empty())
        return false;
    PlaylistWriteOptions options;
    options.automatic = true;
    options.noExt = noExt;
    options.durationSeconds = durationSeconds;
    return writeFileReplacing(target, formatPlaylistFile(playlist, options));
}

bool savePlaylistFile(CaptionTarget& caption, StringView target, const Playlist& playlist,
                      const PlaylistWriteOptions& options, StringView captionToRestore) {
    if (playlist.empty())
        return false;
    CaptionProgress progress(caption, kSavingCaption, static_cast<int>(playlist.entries.size()));
    const std::string bytes =
        formatPlaylistFile(playlist, options, [&progress](int i) { progress.step(i); });
    const bool written = writeFileReplacing(target, bytes);
    caption.setText(captionToRestore);
    return written;
}

String resumeListPath(StringView programPath, StringView instanceName) {
    if (!instanceName.empty() && instanceName[0] == '-') {
        // "D:\Tools\Zav2.exe" with "-work" gives "D:\Tools\Zav2-work.m3u8".
        return removeExtension(programPath) + String(instanceName) + ZT(".m3u8");
    }
    return replaceExtension(programPath, ZT(".m3u8"));
}

}  // namespace zav2
