// The recently opened paths kept for the jump list, in section "JumpRecent"
// of the settings file: "Count" and keys "0" ... "11", most recent first.
#pragma once

#include <vector>

#include "platform/text.h"

namespace zav2 {

inline constexpr const Char* kJumpRecentSection = ZT("JumpRecent");
inline constexpr int kMaxRecentItems = 12;

// The stored list after `path` was opened: the path first, then the stored
// items in their order without blanks and without the path in another case,
// at most kMaxRecentItems.
std::vector<String> recentItemsAfterOpening(const std::vector<String>& stored, StringView path);

#ifdef _WIN32
// Records an existing path as the most recent item in the settings file at
// `settingsPath`; keys beyond the new list's end are deleted. Answers whether
// anything was recorded (the caller then rebuilds the jump list).
bool addRecentItem(StringView settingsPath, StringView path);
#endif

}  // namespace zav2
