// Commands on the play list, the play mode and the plain setting toggles.
#pragma once

#include <windows.h>

#include <optional>

#include "app/main_window_win.h"

namespace zav2 {

// Handled (true/false as the dispatcher answers) or nullopt when the id is
// not one of these commands.
std::optional<bool> dispatchListCommand(MainWindow& state, WORD id);

}  // namespace zav2
