// The shell's side of the file operations: the recycle bin, the folder
// browser, the clipboard and file identity.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/text.h"

namespace zav2 {

// Deletes the file, to the recycle bin when `toRecycleBin`; true on success
// and when there is no such file.
bool RecycleFile(StringView path, bool toRecycleBin);

// The folder browser opened at `startFolder`; nullopt when cancelled.
std::optional<String> BrowseForFolder(HWND owner, StringView title, StringView startFolder);

// Empties the clipboard and puts the CF_HDROP block and the preferred drop
// effect on it. False when the clipboard could not be opened or refused.
bool putFilesOnClipboard(HWND owner, const std::vector<uint8_t>& dropFiles, uint32_t effect);

// Both paths open the same file (same volume and file index).
bool isSameFile(StringView a, StringView b);

}  // namespace zav2
