#include "playlist/playlist_order.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <unordered_map>

#include "platform/path.h"
#include "playlist/entry_rows.h"

namespace zav2 {

namespace {

struct PathParts {
    StringView folder;
    StringView base;
    StringView extension;
};

PathParts splitPath(StringView path) {
    const StringView name = fileName(path);
    const StringView ext = extension(name);
    StringView folder = path.substr(0, path.size() - name.size());
    if (!folder.empty() && isPathSeparator(folder.back()))
        folder.remove_suffix(1);
    return {folder, name.substr(0, name.size() - ext.size()), ext};
}

// Names equal without regard to case fall through to the next part.
bool namesBefore(StringView baseA, StringView extA, StringView baseB, StringView extB) {
    if (!equalsIgnoreCase(baseA, baseB))
        return compareLogical(baseA, baseB) < 0;
    return compareLogical(extA, extB) < 0;
}

}  // namespace

bool comparePlaylistEntries(const PlaylistEntry& a, const PlaylistEntry& b) {
    const PathParts left = splitPath(a.path);
    const PathParts right = splitPath(b.path);
    if (!equalsIgnoreCase(left.folder, right.folder))
        return compareLogical(left.folder, right.folder) < 0;
    return namesBefore(left.base, left.extension, right.base, right.extension);
}

namespace {

struct SortKey {
    uint32_t folderRank;
    uint32_t index;
    StringView base;
    StringView extension;
};

String foldCase(StringView text) {
    String out(text);
    for (Char& c : out)
        c = toUpper(c);
    return out;
}

}  // namespace

// Each path is taken apart once. Folders equal without regard to case share a
// rank, and the ranks follow the folders' logical order, so the comparison of
// two entries only looks at names when they share a folder. The result is an
// order by exactly comparePlaylistEntries.
void sortPlaylist(Playlist& playlist) {
    auto& entries = playlist.entries;
    const size_t count = entries.size();
    if (count < 2)
        return;

    std::vector<SortKey> keys(count);
    std::vector<StringView> folders;  // one spelling per folder id
    std::unordered_map<String, uint32_t> folderIds;
    StringView previousFolder;
    uint32_t previousId = 0;
    for (size_t i = 0; i < count; ++i) {
        const PathParts parts = splitPath(entries[i].path);
        uint32_t id;
        // Scans append folder by folder: most entries share the previous one's.
        if (i > 0 && equalsIgnoreCase(parts.folder, previousFolder)) {
            id = previousId;
        } else {
            const auto [it, added] = folderIds.try_emplace(foldCase(parts.folder),
                                                           static_cast<uint32_t>(folders.size()));
            if (added)
                folders.push_back(parts.folder);
            id = it->second;
        }
        previousFolder = parts.folder;
        previousId = id;
        keys[i] = {id, static_cast<uint32_t>(i), parts.base, parts.extension};
    }

    std::vector<uint32_t> byFolder(folders.size());
    std::iota(byFolder.begin(), byFolder.end(), 0u);
    // Stable sorts stay within bounds even if a platform comparison were not a
    // strict order.
    std::stable_sort(byFolder.begin(), byFolder.end(), [&](uint32_t a, uint32_t b) {
        return compareLogical(folders[a], folders[b]) < 0;
    });
    std::vector<uint32_t> rank(folders.size());
    for (uint32_t position = 0; position < byFolder.size(); ++position)
        rank[byFolder[position]] = position;
    for (SortKey& key : keys)
        key.folderRank = rank[key.folderRank];

    std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        if (a.folderRank != b.folderRank)
            return a.folderRank < b.folderRank;
        return namesBefore(a.base, a.extension, b.base, b.extension);
    });

    std::vector<PlaylistEntry> sorted;
    sorted.reserve(count);
    int32_t current = -1;
    for (size_t position = 0; position < count; ++position) {
        if (static_cast<int32_t>(keys[position].index) == playlist.current)
            current = static_cast<int32_t>(position);
        sorted.push_back(std::move(entries[keys[position].index]));
    }
    entries = std::move(sorted);
    if (playlist.current >= 0)
        playlist.current = current;
}

void recomputeOrder(Playlist& playlist, bool randomMode) {
    auto& entries = playlist.entries;
    const int32_t count = static_cast<int32_t>(entries.size());
    if (count == 0)
        return;
    if (!randomMode) {
        for (int32_t k = 0; k < count; ++k)
            entries[static_cast<size_t>(k)].order = k;
        return;
    }
    // A current index out of range would read before the work array.
    const int32_t current =
        playlist.current >= 0 && playlist.current < count ? playlist.current : 0;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::vector<int32_t> work(static_cast<size_t>(count - 1));
    std::iota(work.begin(), work.end(), 0);
    for (int32_t j = 0; j < count - 1; ++j) {
        const int32_t r = std::rand() % (count - 1);
        std::swap(work[static_cast<size_t>(j)], work[static_cast<size_t>(r)]);
    }
    for (int32_t k = 0; k < count; ++k) {
        int32_t key = 0;
        if (k < current)
            key = work[static_cast<size_t>(k)] + 1;
        else if (k > current)
            key = work[static_cast<size_t>(k - 1)] + 1;
        entries[static_cast<size_t>(k)].order = key;
    }
}

StringView matchText(const PlaylistEntry& entry) {
    if (!entry.title.empty())
        return entry.title;
    return fileName(entry.path);
}

namespace {

// Calls visit(word) for each space-separated word until it returns false.
template <typename Visit>
void forEachWord(StringView expression, Visit visit) {
    size_t i = 0;
    while (i < expression.size()) {
        while (i < expression.size() && expression[i] == ' ')
            ++i;
        size_t end = i;
        while (end < expression.size() && expression[end] != ' ')
            ++end;
        if (end > i && !visit(expression.substr(i, end - i)))
            return;
        i = end;
    }
}

bool contains(StringView text, StringView word) {
    return text.find(word) != StringView::npos;
}

}  // namespace

bool hasSearchWords(StringView expression) {
    return expression.find_first_not_of(' ') != StringView::npos;
}

bool matchesExpression(StringView text, StringView expression) {
    bool first = true;
    bool anyForm = false;
    bool result = false;
    forEachWord(expression, [&](StringView word) {
        if (first) {
            first = false;
            if (equalsIgnoreCase(word, ZT("OR"))) {
                anyForm = true;
                return true;
            }
        }
        if (anyForm) {
            result = contains(text, word);
            return !result;
        }
        result = word.front() == '-' ? !contains(text, word.substr(1)) : contains(text, word);
        return result;
    });
    return result;
}

bool filterPlaylist(Playlist& playlist, ListBoxMirror& listBox, StringView expression) {
    if (!hasSearchWords(expression))
        return false;
    auto& entries = playlist.entries;
    std::vector<int> removed;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!matchesExpression(matchText(entries[i]), expression))
            removed.push_back(static_cast<int>(i));
    }
    if (removed.empty())
        return false;
    const int current = playlist.current;
    const bool currentRemoved = std::binary_search(removed.begin(), removed.end(), current);
    const int removedBelow = static_cast<int>(
        std::lower_bound(removed.begin(), removed.end(), current) - removed.begin());

    eraseRows(entries, removed);
    {
        RedrawPause pause(listBox);
        listBox.removeMany(removed);
    }

    if (entries.empty())
        playlist.current = -1;
    else if (currentRemoved)
        playlist.current = 0;
    else if (current >= 0)
        playlist.current = current - removedBelow;
    return currentRemoved;
}

int32_t findNextMatch(const Playlist& playlist, int32_t current, StringView expression) {
    const int32_t count = static_cast<int32_t>(playlist.entries.size());
    if (count == 0)
        return -1;
    // Without a valid current entry every entry is a candidate, from the first.
    const bool valid = current >= 0 && current < count;
    const int32_t start = valid ? current : -1;
    const int32_t candidates = valid ? count - 1 : count;
    for (int32_t step = 1; step <= candidates; ++step) {
        const int32_t i = (start + step) % count;
        if (matchesExpression(matchText(playlist.entries[static_cast<size_t>(i)]), expression))
            return i;
    }
    return -1;
}

}  // namespace zav2
