// The panel's commands: view size, pictures, lyrics and centred text.
#pragma once

#include <windows.h>

#include <optional>

namespace zav2 {

struct MainWindow;

// Next `ViewSize` (40014), the pictures in the list (40007) and in the panel
// (40008), text and lyrics (40026), centred text (40010). Handled (as the
// dispatcher answers) or nullopt when the id is not one of these.
std::optional<bool> dispatchPanelCommand(MainWindow& state, WORD id);

}  // namespace zav2
