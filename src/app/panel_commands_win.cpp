#include "app/panel_commands_win.h"

#include "settings/settings_apply_win.h"
#include "app/layout_calls_win.h"
#include "ui/panel_win.h"
#include "app/main_window_win.h"
#include "resources/resource.h"
#include "ui/panel_geometry.h"

namespace zav2 {

namespace {

// A toggle sets 1 when the flag was anything but 1, else 0, and mirrors it in
// its menu item.
bool toggle(int& flag, HMENU menu, int item) {
    flag = flag == 1 ? 0 : 1;
    setMenuCheck(menu, item, flag == 1);
    return flag == 1;
}

int nextViewSize(int viewSize) {
    return viewSize == kViewZoom       ? kViewOriginal
           : viewSize == kViewOriginal ? kViewMultiple
                                       : kViewZoom;
}

}  // namespace

std::optional<bool> dispatchPanelCommand(MainWindow& state, WORD id) {
    Settings& settings = state.settings;
    switch (id) {
        case IDM_NEXT_VIEW_SIZE:
            settings.ViewSize = nextViewSize(settings.ViewSize);
            layOutWindow(state);
            return true;
        case IDM_LIST_PICTURE:
            toggle(settings.ShowBitmapList, state.commands.shownMenu(kListMenu), id);
            RedrawWindow(state.list.listBox, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            return true;
        case IDM_TEXT_PICTURE:
            toggle(settings.ShowBitmapText, state.commands.shownMenu(kTextMenu), id);
            layOutWindow(state);
            return true;
        case IDM_SHOW_LYRICS:
            toggle(settings.ShowText, state.commands.shownMenu(kTextMenu), id);
            if (!state.list.playlist.empty())
                reloadPanel(state);
            layOutWindow(state);
            return true;
        case IDM_CENTER_TEXT:
            setCenterText(state.panel.textPanel,
                          toggle(settings.CenterText, state.commands.shownMenu(kTextMenu), id));
            layOutWindow(state);
            return true;
    }
    return std::nullopt;
}

}  // namespace zav2
