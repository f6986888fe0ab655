// The recently opened paths kept for the jump list, in section "JumpRecent"
// of the settings file: "Count" and keys "0" ... "11", most recent first.
#pragma once

#include <vector>

#include "platform/settings_store.h"
#include "platform/text.h"

namespace zav2 {

inline constexpr const Char* kJumpRecentSection = ZT("JumpRecent");
inline constexpr int kMaxRecentItems = 12;

// The stored items in key order: at most `Count` (capped at 12) of them,
// without empty values, values too long to be a path (a cut one would name
// another file) and later repeats of an item in another case.
std::vector<String> readRecentItems(SettingsStore& store);

// The list after `path` was opened: the path first, then the other items in
// their order, at most kMaxRecentItems.
std::vector<String> recentItemsAfterOpening(const std::vector<String>& stored, StringView path);

// Writes `Count` ("%d") and keys 0 ... n - 1, and deletes keys n ... 11.
void writeRecentItems(SettingsStore& store, const std::vector<String>& items);

// Records `path` as the most recent item. The caller checks that it exists.
void recordRecentItem(SettingsStore& store, StringView path);

}  // namespace zav2
