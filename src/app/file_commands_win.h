// The file commands of the list (copy, move, delete, trash, clipboard,
// rename, properties).
#pragma once

#include <windows.h>

#include <optional>

namespace zav2 {

struct MainWindow;

// Handled (true/false as the dispatcher answers) or nullopt when the id is
// not one of these commands.
std::optional<bool> dispatchFileCommand(MainWindow& state, WORD id);

}  // namespace zav2
