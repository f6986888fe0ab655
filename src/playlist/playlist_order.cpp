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

// Folder (without the separator before the name), base name and extension
// from the last dot, by the platform's path rules.
PathParts splitPath(StringView path) {
    const StringView name = fileName(path);
    const StringView ext = extension(name);
    StringView folder = path.substr(0, path.size() - name.size());
    if (!folder.empty() && isPathSeparator(folder.back()))
        folder.remove_suffix(1);
    return {folder, name.substr(0, name.size() - ext.size()), ext};
}

// The same parts in one backward pass, for sorting long lists: a dot met
// before any space or separator starts the extension ("a. b" has none).
PathParts splitPathFast(StringView path) {
    size_t nameStart = 0;
    size_t dot = StringView::npos;
    bool extensionOpen = true;
    for (size_t i = path.size(); i > 0; --i) {
        const Char c = path[i - 1];
        if (c == '\\' || c == '/' || (i == 2 && c == ':')) {
            nameStart = i;
            break;
        }
        if (extensionOpen && c == '.') {
            dot = i - 1;
            extensionOpen = false;
        } else if (c == ' ') {
            extensionOpen = false;
        }
    }
    StringView folder = path.substr(0, nameStart);
    if (!folder.empty() && isPathSeparator(folder.back()))
        folder.remove_suffix(1);
    if (dot == StringView::npos)
        return {folder, path.substr(nameStart), {}};
    return {folder, path.substr(nameStart, dot - nameStart), path.substr(dot)};
}

// compareLogical is zero exactly for names equal without regard to case,
// which then fall through to the next part.
bool namesBefore(StringView baseA, StringView extA, StringView baseB, StringView extB) {
    const int byBase = compareLogical(baseA, baseB);
    if (byBase != 0)
        return byBase < 0;
    return compareLogical(extA, extB) < 0;
}

}  // namespace

bool comparePlaylistEntries(const PlaylistEntry& a, const PlaylistEntry& b) {
    const PathParts left = splitPath(a.path);
    const PathParts right = splitPath(b.path);
    const int byFolder = compareLogical(left.folder, right.folder);
    if (byFolder != 0)
        return byFolder < 0;
    return namesBefore(left.base, left.extension, right.base, right.extension);
}

namespace {

struct SortKey {
    StringView base;
    StringView extension;
    uint32_t index;
};

Char foldAscii(Char c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
    return toUpper(c);
}

// Hash and equality of folders without regard to case, over views into the
// entries' paths: no folded copies are made.
struct FoldedHash {
    size_t operator()(StringView text) const {
        size_t hash = 1469598103934665603ull;
        for (Char c : text)
            hash = (hash ^ static_cast<size_t>(foldAscii(c))) * 1099511628211ull;
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(StringView a, StringView b) const {
        return a.size() == b.size() && (a == b || equalsIgnoreCase(a, b));
    }
};

// Puts entries into the order `order` gives (order[position] = old index) by
// following its cycles, moving each entry once and allocating nothing big.
void permute(std::vector<PlaylistEntry>& entries, std::vector<uint32_t>& order) {
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        PlaylistEntry held = std::move(entries[start]);
        size_t position = start;
        while (order[position] != start) {
            const size_t from = order[position];
            entries[position] = std::move(entries[from]);
            order[position] = static_cast<uint32_t>(position);
            position = from;
        }
        entries[position] = std::move(held);
        order[position] = static_cast<uint32_t>(position);
    }
}

}  // namespace

// Each path is taken apart once. Folders equal without regard to case form one
// group; the groups are ranked in the folders' logical order and each group's
// entries sorted by name, so names are only ever compared within a folder.
// The result is an order by exactly comparePlaylistEntries.
std::vector<uint32_t> sortedOrder(const std::vector<StringView>& paths) {
    const size_t count = paths.size();
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    if (count < 2)
        return order;

    std::vector<SortKey> keys(count);
    std::vector<uint32_t> groupOf(count);
    std::vector<StringView> folders;  // one spelling per group
    std::unordered_map<StringView, uint32_t, FoldedHash, FoldedEqual> groups;
    StringView previousFolder;
    uint32_t previousGroup = 0;
    for (size_t i = 0; i < count; ++i) {
        const PathParts parts = splitPathFast(paths[i]);
        uint32_t group = previousGroup;
        // Scans append folder by folder: most entries share the previous one's.
        if (i == 0 || parts.folder != previousFolder) {
            const auto [it, added] =
                groups.try_emplace(parts.folder, static_cast<uint32_t>(folders.size()));
            if (added)
                folders.push_back(parts.folder);
            group = it->second;
        }
        previousFolder = parts.folder;
        previousGroup = group;
        keys[i] = {parts.base, parts.extension, static_cast<uint32_t>(i)};
        groupOf[i] = group;
    }

    // Stable sorts stay within bounds even if a platform comparison were not a
    // strict order.
    std::vector<uint32_t> byFolder(folders.size());
    std::iota(byFolder.begin(), byFolder.end(), 0u);
    std::stable_sort(byFolder.begin(), byFolder.end(), [&](uint32_t a, uint32_t b) {
        return compareLogical(folders[a], folders[b]) < 0;
    });
    // Where each ranked group starts in the result (a counting sort).
    std::vector<uint32_t> groupStart(folders.size() + 1, 0);
    for (uint32_t group : groupOf)
        ++groupStart[group + 1];
    std::vector<uint32_t> rankedStart(folders.size() + 1, 0);
    for (size_t rank = 0; rank < byFolder.size(); ++rank) {
        const uint32_t group = byFolder[rank];
        rankedStart[rank + 1] = rankedStart[rank] + groupStart[group + 1];
    }
    std::vector<uint32_t> next(folders.size());
    for (size_t rank = 0; rank < byFolder.size(); ++rank)
        next[byFolder[rank]] = rankedStart[rank];
    std::vector<SortKey> placed(count);
    for (size_t i = 0; i < count; ++i)
        placed[next[groupOf[i]]++] = keys[i];

    const auto byName = [](const SortKey& a, const SortKey& b) {
        return namesBefore(a.base, a.extension, b.base, b.extension);
    };
    for (size_t rank = 0; rank < byFolder.size(); ++rank)
        std::stable_sort(placed.begin() + rankedStart[rank], placed.begin() + rankedStart[rank + 1],
                         byName);

    for (size_t position = 0; position < count; ++position)
        order[position] = placed[position].index;
    return order;
}

void applyOrder(Playlist& playlist, std::vector<uint32_t> order) {
    if (order.size() != playlist.entries.size())
        return;
    int32_t current = -1;
    for (size_t position = 0; position < order.size(); ++position) {
        if (static_cast<int32_t>(order[position]) == playlist.current)
            current = static_cast<int32_t>(position);
    }
    permute(playlist.entries, order);
    if (playlist.current >= 0)
        playlist.current = current;
}

void sortPlaylist(Playlist& playlist) {
    if (playlist.entries.size() < 2)
        return;
    std::vector<uint32_t> order;
    {
        // The views point into the paths: done with them before moving.
        std::vector<StringView> paths;
        paths.reserve(playlist.entries.size());
        for (const PlaylistEntry& entry : playlist.entries)
            paths.push_back(entry.path);
        order = sortedOrder(paths);
    }
    applyOrder(playlist, std::move(order));
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
