// ".zav" search lists: line 1 either links to something that exists (a
// folder, a media file, a list, another search list) or is a file-name
// filter, with a folder-name filter on line 2 and the base folder on line 3.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/intake.h"
#include "playlist/intake_internal.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_order.h"

namespace zav2 {

namespace {

// Search lists that link to search lists stop here, keeping what was found.
constexpr int kMaxLinkDepth = 8;
// Three lines of 259 units fit easily; longer lines are cut anyway.
constexpr uint64_t kMaxSearchListBytes = 64 * 1024;

// A relative link is taken from the working directory; entries keep full
// paths, so it is made absolute here.
String absoluteFromWorkingDirectory(StringView path) {
    if (isAbsolutePath(path))
        return String(path);
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(String(path)), error);
    if (error)
        return String(path);
#ifdef _WIN32
    return absolute.lexically_normal().wstring();
#else
    return absolute.lexically_normal().u16string();
#endif
}

struct FilterSearch {
    const String& fileFilter;
    const String& folderFilter;
    const IntakeSettings& settings;
};

void searchFolder(Playlist& playlist, StringView base, int at, int& count,
                  const FilterSearch& search) {
    for (const FolderItem& item : listFolder(base)) {
        if (isPictureOrText(item.name))
            continue;
        const String path = itemPath(base, item.name);
        if (path.empty())
            continue;
        if (item.isFolder) {
            // The path limit also ends a search through a folder link loop.
            if (nameFilterMatches(item.name, search.folderFilter) &&
                item.name != search.settings.ignoreDir) {
                searchFolder(playlist, path, 0, count, search);
            }
            continue;
        }
        if (isListFile(item.name) || !nameFilterMatches(item.name, search.fileFilter))
            continue;
        insertKeepingCurrent(playlist, at + count, PlaylistEntry{path, {}, 0, true});
        ++count;
    }
}

int readLinked(Playlist& playlist, StringView zavPath, int at, int& count,
               const IntakeSettings& settings, int depth) {
    const auto lines = readSearchListLines(zavPath);
    if (!lines)
        return 0;
    if (lines->line1.size() > 1 && pathExists(lines->line1)) {
        const String target = absoluteFromWorkingDirectory(lines->line1);
        const StringView ext = extension(target);
        if (isDirectory(target)) {
            scanAndSort(playlist, target, settings);
        } else if (equalsIgnoreCase(ext, ZT(".m3u")) || equalsIgnoreCase(ext, ZT(".m3u8"))) {
            int inserted = 0;
            readPlaylistFile(playlist, target, folderOf(target), 0, inserted, nullptr,
                             settings.noExt);
            if (playlist.current >= 0)
                playlist.current += inserted;
            count += inserted;
        } else if (equalsIgnoreCase(ext, ZT(".zav"))) {
            if (depth < kMaxLinkDepth)
                readLinked(playlist, target, at, count, settings, depth + 1);
            sortPlaylist(playlist);
        } else {
            scanAndSort(playlist, folderOf(target), settings);
            return findByPath(playlist, target);
        }
        return 0;
    }

    const String base = searchListBaseFolder(zavPath, lines->line3);
    const FilterSearch search{lines->line1, lines->line2, settings};
    searchFolder(playlist, base, at, count, search);
    // One sort at the end gives the order a sort after every folder would.
    sortPlaylist(playlist);
    return 0;
}

}  // namespace

bool nameFilterMatches(StringView name, StringView filter) {
    if (equalsIgnoreCase(filter, ZT("*")))
        return true;
    return matchesExpression(name, filter);
}

std::optional<SearchListLines> readSearchListLines(StringView zavPath) {
    const auto file = FileReader::open(zavPath);
    if (!file)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(std::min(file->size(), kMaxSearchListBytes)), '\0');
    bytes.resize(file->readAt(0, bytes.data(), bytes.size()));
    std::string_view rest(bytes);
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);

    SearchListLines lines;
    for (String* line : {&lines.line1, &lines.line2, &lines.line3}) {
        if (rest.empty())
            break;
        const size_t end = rest.find('\n');
        std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        // A path with a NUL would end there for the file system: the line
        // counts as empty, as the list reader skips such lines.
        if (raw.find('\0') != std::string_view::npos)
            continue;
        *line = utf8ToUtf16(raw);
        if (line->size() > kMaxPath)
            line->resize(kMaxPath);
    }
    return lines;
}

String searchListBaseFolder(StringView zavPath, StringView line3) {
    const String own = folderOf(zavPath);
    if (line3.empty())
        return own;
    if (line3.size() <= 2 || line3[2] == ':')
        return String(line3);
    return resolveListLine(own, line3);
}

int readSearchList(Playlist& playlist, StringView zavPath, int at, int& count,
                   const IntakeSettings& settings) {
    return readLinked(playlist, zavPath, at, count, settings, 0);
}

}  // namespace zav2
