// What the commands keep between messages: the popup menus, the latch of
// the buttons that show one, and the list row the context menu is about.
#pragma once

#include <windows.h>

#include <array>

#include "platform/handles_win.h"
#include "ui/command_rules.h"

namespace zav2 {

// A menu resource and the sub-menu that is shown. The sub-menu is detached
// from its holder at load, so each is destroyed once: the shown menu first.
struct LoadedMenu {
    UniqueMenu holder;
    UniqueMenu shown;
};

enum MenuIndex { kListMenu, kMasterMenu, kPlayMenu, kTitleMenu, kTextMenu, kOpenMenu, kMenuCount };

struct CommandState {
    std::array<LoadedMenu, kMenuCount> menus;
    ButtonMenuLatch buttonMenuLatch;
    int contextItem = 0;
    POINT lastMousePoint{-1, -1};

    HMENU shownMenu(MenuIndex index) const { return menus[index].shown.get(); }
};

}  // namespace zav2
