// The commands' handlers that are not list commands: transport, seeking,
// rate, volume, buttons, fonts and toggles. Each takes the window's state and
// the command id; the dispatcher's table says when each one runs.
#pragma once

#include <windows.h>

namespace zav2 {

struct MainWindow;

void onListDoubleClick(MainWindow& state, WORD id, WORD notification);
void onPlayButton(MainWindow& state, WORD id, WORD notification);
void onStopButton(MainWindow& state, WORD id, WORD notification);
void onStepButton(MainWindow& state, WORD id, WORD notification);
void onEnter(MainWindow& state, WORD id, WORD notification);
void onEscape(MainWindow& state, WORD id, WORD notification);
void onMenuButton(MainWindow& state, WORD id, WORD notification);
void onOpenMenuChoice(MainWindow& state, WORD id, WORD notification);
void onRelativeSeek(MainWindow& state, WORD id, WORD notification);
void onPercentJump(MainWindow& state, WORD id, WORD notification);
void onRate(MainWindow& state, WORD id, WORD notification);
void onVolumeKey(MainWindow& state, WORD id, WORD notification);
void onTopMostButton(MainWindow& state, WORD id, WORD notification);
void onListButton(MainWindow& state, WORD id, WORD notification);
void onMinimize(MainWindow& state, WORD id, WORD notification);
void onFontDialog(MainWindow& state, WORD id, WORD notification);
void onFontKey(MainWindow& state, WORD id, WORD notification);
void onMasterVolume(MainWindow& state, WORD id, WORD notification);
void onKeepAwakeToggle(MainWindow& state, WORD id, WORD notification);

}  // namespace zav2
