#include <windows.h>

#include <algorithm>
#include <array>
#include <string>

#include "platform/file.h"
#include "playlist/intake_recent.h"

namespace zav2 {

bool addRecentItem(StringView settingsPath, StringView path) {
    if (path.empty() || !pathExists(path))
        return false;
    const String file(settingsPath);
    const int stored = std::clamp(
        static_cast<int>(GetPrivateProfileIntW(kJumpRecentSection, L"Count", 0, file.c_str())), 0,
        kMaxRecentItems);
    std::vector<String> items;
    for (int k = 0; k < stored; ++k) {
        std::array<wchar_t, 260> value{};
        GetPrivateProfileStringW(kJumpRecentSection, std::to_wstring(k).c_str(), L"", value.data(),
                                 static_cast<DWORD>(value.size()), file.c_str());
        items.emplace_back(value.data());
    }
    items = recentItemsAfterOpening(items, path);

    WritePrivateProfileStringW(kJumpRecentSection, L"Count", std::to_wstring(items.size()).c_str(),
                               file.c_str());
    for (int k = 0; k < kMaxRecentItems; ++k) {
        const wchar_t* value =
            k < static_cast<int>(items.size()) ? items[static_cast<size_t>(k)].c_str() : nullptr;
        // A null value deletes the key.
        WritePrivateProfileStringW(kJumpRecentSection, std::to_wstring(k).c_str(), value,
                                   file.c_str());
    }
    return true;
}

}  // namespace zav2
