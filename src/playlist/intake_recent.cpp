#include "playlist/intake_recent.h"

namespace zav2 {

std::vector<String> recentItemsAfterOpening(const std::vector<String>& stored, StringView path) {
    std::vector<String> items{String(path)};
    for (const String& item : stored) {
        if (items.size() >= static_cast<size_t>(kMaxRecentItems))
            break;
        if (!item.empty() && !equalsIgnoreCase(item, path))
            items.push_back(item);
    }
    return items;
}

}  // namespace zav2
