// The file commands of the list (copy, move, delete, trash, clipboard,
// rename, properties).
#pragma once

#include <windows.h>

#include <optional>

#include "app/main_window_win.h"

namespace zav2 {

// Handled (true/false as the dispatcher answers) or nullopt when the id is
// not one of these commands.
std::optional<bool> dispatchFileCommand(MainWindow& state, WORD id);

}  // namespace zav2
