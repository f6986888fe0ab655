// The command dispatcher: every button, menu item, accelerator and forwarded
// switch arrives here as a WM_COMMAND word and finds its row in one table.
#include <windows.h>

#include <optional>

#include "app/main_window_win.h"
#include "resources/resource.h"
#include "app/capture_commands_win.h"
#include "app/command_dispatcher_win.h"
#include "app/command_handlers_win.h"
#include "ui/command_rules.h"
#include "app/file_commands_win.h"
#include "app/list_commands_win.h"
#include "app/panel_commands_win.h"

namespace zav2 {

namespace {

using CommandHandler = void (*)(MainWindow& state, WORD id, WORD notification);

// One row per command id (a range for the keypad's ten jumps). `handled` is
// what the dispatcher answers, also when the guard keeps the handler off.
struct CommandRow {
    WORD first;
    WORD last;
    CommandGuard guard;
    CommandHandler handler;
    bool handled = true;
};

// Other files' commands come with a dispatcher of their own that answers
// nullopt for ids that are not theirs; a row reaches it through `hooked`.
using CommandHook = std::optional<bool> (*)(MainWindow& state, WORD id);
template <CommandHook hook>
void hooked(MainWindow& state, WORD id, WORD) {
    hook(state, id);
}

constexpr CommandGuard kNone = CommandGuard::None;
constexpr CommandGuard kList = CommandGuard::List;

constexpr CommandRow row(WORD id, CommandGuard guard, CommandHandler handler, bool handled = true) {
    return {id, id, guard, handler, handled};
}

constexpr CommandRow kCommands[] = {
    // Buttons and the list box.
    row(IDC_LIST, kNone, onListDoubleClick),
    row(IDC_PLAY_BUTTON, CommandGuard::ListAndCurrent, onPlayButton),
    row(IDC_OPEN_BUTTON, kNone, onMenuButton),
    // Stop answers "not handled": the stop itself reset the read-out.
    row(IDC_STOP_BUTTON, kList, onStopButton, false),
    row(IDC_PREVIOUS_BUTTON, kList, onStepButton),
    row(IDC_NEXT_BUTTON, kList, onStepButton),
    row(IDC_MODE_BUTTON, kNone, onMenuButton),
    row(IDC_TOPMOST_BUTTON, kNone, onTopMostButton),
    row(IDC_LIST_BUTTON, kNone, onListButton),
    // The list and its files.
    row(IDM_REMOVE_FROM_LIST, kNone, onRemoveFromList),
    row(IDM_SAVE_PLAYLIST, kNone, onSavePlaylist),
    row(IDM_OPEN_FILE, kNone, onOpenMenuChoice),
    row(IDM_OPEN_FOLDER, kNone, onOpenMenuChoice),
    row(IDM_SEARCH_SUBFOLDERS, kNone, onToggle),
    row(IDM_MOVE_SELECTION_DOWN, kNone, onMoveSelection),
    row(IDM_MOVE_SELECTION_UP, kNone, onMoveSelection),
    row(IDM_SELECT_ALL, kNone, onSelectAll),
    row(IDM_SORT_LIST, kList, onSort),
    row(IDM_RANDOM_JUMP, kList, onRandomJump),
    row(IDM_FILTER, kNone, onFilter),
    row(IDM_JUMP, kNone, onJump),
    row(IDM_JUMP_AGAIN, kNone, onJump),
    // Playback.
    row(IDM_PLAY_OR_STOP, kList, onEnter),
    row(IDM_CLOSE, kNone, onEscape),
    row(IDM_SEEK_FORWARD_1S, kList, onRelativeSeek),
    row(IDM_SEEK_FORWARD_10S, kList, onRelativeSeek),
    row(IDM_SEEK_FORWARD_60S, kList, onRelativeSeek),
    row(IDM_SEEK_FORWARD_600S, kList, onRelativeSeek),
    row(IDM_SEEK_BACK_1S, kList, onRelativeSeek),
    row(IDM_SEEK_BACK_10S, kList, onRelativeSeek),
    row(IDM_SEEK_BACK_60S, kList, onRelativeSeek),
    row(IDM_SEEK_BACK_600S, kList, onRelativeSeek),
    {IDM_SEEK_PERCENT_0, IDM_SEEK_PERCENT_90, kList, onPercentJump},
    row(IDM_RATE_FASTER, kList, onRate),
    row(IDM_RATE_SLOWER, kList, onRate),
    row(IDM_RATE_NORMAL, kList, onRate),
    row(IDM_VOLUME_UP, kNone, onVolumeKey),
    row(IDM_VOLUME_DOWN, kNone, onVolumeKey),
    row(IDM_NEXT_MODE, kNone, onNextPlayMode),
    row(IDM_MODE_ORDER, kNone, onPlayModeChoice),
    row(IDM_MODE_RANDOM, kNone, onPlayModeChoice),
    row(IDM_MODE_SINGLE, kNone, onPlayModeChoice),
    row(IDM_MODE_ONCE, kNone, onPlayModeChoice),
    row(IDM_MASTER_VOLUME, kNone, onMasterVolume),
    row(IDM_GAIN_OFF, kNone, onReplayGainChoice),
    row(IDM_GAIN_TRACK, kNone, onReplayGainChoice),
    row(IDM_GAIN_ALBUM, kNone, onReplayGainChoice),
    // Layout, view and fonts.
    row(IDM_NEXT_DISPLAY_MODE, kNone, onNextDisplayMode),
    row(IDM_TOGGLE_LIST, kNone, onToggleList),
    row(IDM_MINIMIZE, kNone, onMinimize),
    row(IDM_TEXT_FONT, kNone, onFontDialog),
    row(IDM_LIST_FONT, kNone, onFontDialog),
    row(IDM_FONT_SIZE_RESET, kNone, onFontKey),
    row(IDM_FONT_SIZE_UP, kNone, onFontKey),
    row(IDM_FONT_SIZE_DOWN, kNone, onFontKey),
    // Toggles.
    row(IDM_IGNORE_ERROR, kNone, onToggle),
    row(IDM_NO_STANDBY, kNone, onKeepAwakeToggle),
    row(IDM_NO_DISPLAY_OFF, kNone, onKeepAwakeToggle),
    row(IDM_AFTER_ACTIVE, kNone, onToggle),
    row(IDM_DARK_MODE, kNone, onToggle),
    row(IDM_SINGLE_CLICK_MODE, kNone, onToggle),
    row(IDM_HIDE_EXTENSION, kNone, onToggle),
    // The panel.
    row(IDM_CENTER_TEXT, kNone, hooked<dispatchPanelCommand>),
    row(IDM_NEXT_VIEW_SIZE, kNone, hooked<dispatchPanelCommand>),
    row(IDM_LIST_PICTURE, kNone, hooked<dispatchPanelCommand>),
    row(IDM_TEXT_PICTURE, kNone, hooked<dispatchPanelCommand>),
    row(IDM_SHOW_LYRICS, kNone, hooked<dispatchPanelCommand>),
    // Captures.
    row(IDM_CAPTURE_TO_FILE, kList, hooked<dispatchCaptureCommand>),
    row(IDM_CAPTURE_TO_CLIPBOARD, kList, hooked<dispatchCaptureCommand>),
    // The files behind the entries.
    row(IDM_PROPERTIES, kNone, hooked<dispatchFileCommand>),
    row(IDM_COPY_FILES, kNone, hooked<dispatchFileCommand>),
    row(IDM_MOVE_FILES, kNone, hooked<dispatchFileCommand>),
    row(IDM_DELETE_FILES, kNone, hooked<dispatchFileCommand>),
    row(IDM_MOVE_TO_TRASH, kNone, hooked<dispatchFileCommand>),
    row(IDM_CLIPBOARD_COPY, kNone, hooked<dispatchFileCommand>),
    row(IDM_CLIPBOARD_CUT, kNone, hooked<dispatchFileCommand>),
    row(IDM_RENAME, kNone, hooked<dispatchFileCommand>),
};

const CommandRow* findRow(WORD id) {
    for (const CommandRow& candidate : kCommands) {
        if (id >= candidate.first && id <= candidate.last)
            return &candidate;
    }
    return nullptr;
}

}  // namespace

bool dispatchCommand(MainWindow& state, WPARAM command) {
    const WORD id = LOWORD(command);
    const CommandRow* found = findRow(id);
    if (!found)
        return false;
    if (guardAllows(found->guard, state.list.playlist.empty(), state.list.playlist.current))
        found->handler(state, id, HIWORD(command));
    return found->handled;
}

}  // namespace zav2
