#include "taskbar/jump_recent.h"

#include <algorithm>
#include <string>

#include "platform/path.h"

namespace zav2 {

namespace {

String keyName(int index) {
    const std::string digits = std::to_string(index);
    return String(digits.begin(), digits.end());
}

bool contains(const std::vector<String>& items, StringView path) {
    return std::any_of(items.begin(), items.end(),
                       [&](const String& item) { return equalsIgnoreCase(item, path); });
}

}  // namespace

std::vector<String> readRecentItems(SettingsStore& store) {
    const int count =
        std::clamp(store.readInt(kJumpRecentSection, ZT("Count"), 0), 0, kMaxRecentItems);
    std::vector<String> items;
    for (int k = 0; k < count; ++k) {
        // One unit more than a path may have, to tell a longer value apart.
        String value = store.readString(kJumpRecentSection, keyName(k), ZT(""), kMaxPath + 2);
        if (value.empty() || value.size() > kMaxPath || contains(items, value))
            continue;
        items.push_back(std::move(value));
    }
    return items;
}

std::vector<String> recentItemsAfterOpening(const std::vector<String>& stored, StringView path) {
    std::vector<String> items{String(path)};
    for (const String& item : stored) {
        if (items.size() >= static_cast<size_t>(kMaxRecentItems))
            break;
        if (!item.empty() && !contains(items, item))
            items.push_back(item);
    }
    return items;
}

void writeRecentItems(SettingsStore& store, const std::vector<String>& items) {
    const int count = static_cast<int>(std::min(items.size(), size_t{kMaxRecentItems}));
    store.writeString(kJumpRecentSection, ZT("Count"), keyName(count));
    for (int k = 0; k < kMaxRecentItems; ++k) {
        if (k < count)
            store.writeString(kJumpRecentSection, keyName(k), items[static_cast<size_t>(k)]);
        else
            store.removeKey(kJumpRecentSection, keyName(k));
    }
}

void recordRecentItem(SettingsStore& store, StringView path) {
    if (path.empty() || path.size() > kMaxPath)
        return;
    writeRecentItems(store, recentItemsAfterOpening(readRecentItems(store), path));
}

}  // namespace zav2
