// Commands on the play list, the play mode, the list pane, the display mode
// and the plain setting toggles; rows of the dispatcher's table.
#pragma once

#include <windows.h>

namespace zav2 {

struct MainWindow;

void onRemoveFromList(MainWindow& state, WORD id, WORD notification);
void onMoveSelection(MainWindow& state, WORD id, WORD notification);
void onSelectAll(MainWindow& state, WORD id, WORD notification);
void onSort(MainWindow& state, WORD id, WORD notification);
void onSavePlaylist(MainWindow& state, WORD id, WORD notification);
void onFilter(MainWindow& state, WORD id, WORD notification);
void onJump(MainWindow& state, WORD id, WORD notification);  // 4800 asks, 4900 repeats
void onRandomJump(MainWindow& state, WORD id, WORD notification);
void onPlayModeChoice(MainWindow& state, WORD id, WORD notification);
void onNextPlayMode(MainWindow& state, WORD id, WORD notification);
// One of the three loudness items: the setting, its check marks, and the
// gain of what plays.
void onReplayGainChoice(MainWindow& state, WORD id, WORD notification);
void onNextDisplayMode(MainWindow& state, WORD id, WORD notification);
void onToggleList(MainWindow& state, WORD id, WORD notification);
void onToggle(MainWindow& state, WORD id, WORD notification);

// The list's menu at a right-click on a row, about that row.
void showListContextMenu(MainWindow& state, POINT screenPoint);

}  // namespace zav2
