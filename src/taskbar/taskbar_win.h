// The program's taskbar button: its thumbnail buttons and its jump list,
// through the shell's objects.
#pragma once

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "platform/text.h"

namespace zav2 {

// What the taskbar side needs of the program.
struct TaskbarOwner {
    HINSTANCE module = nullptr;  // the icons
    HWND window = nullptr;       // the button's window
    String programPath;          // what the jump-list links start
    String settingsPath;         // where the recent items are kept
};

// What the main window keeps of its taskbar button.
struct TaskbarState {
    UINT buttonCreatedMessage = 0;  // "TaskbarButtonCreated", registered at start
    Microsoft::WRL::ComPtr<ITaskbarList3> list;
};

void rebuildJumpList(const TaskbarOwner& owner);
void addThumbnailButtons(const TaskbarOwner& owner);
// The thumbnail buttons' icons again, at the window's DPI.
void updateThumbnailButtons(const TaskbarOwner& owner);
// Records an existing path as the most recent jump-list item, then rebuilds.
void addRecentItem(const TaskbarOwner& owner, const String& path);

}  // namespace zav2
