// Every WM_COMMAND of the main window goes here.
#pragma once

#include <windows.h>

namespace zav2 {

struct MainWindow;

// True when the command was handled.
bool dispatchCommand(MainWindow& state, WPARAM command);

}  // namespace zav2
