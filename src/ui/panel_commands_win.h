// The panel's commands and the release of its pictures.
#pragma once

#include <windows.h>

#include <optional>

namespace zav2 {

struct MainWindow;

// Next `ViewSize` (40014), the pictures in the list (40007) and in the panel
// (40008), text and lyrics (40026), centred text (40010). Handled (as the
// dispatcher answers) or nullopt when the id is not one of these.
std::optional<bool> dispatchPanelCommand(MainWindow& state, WORD id);

// Frees pictures 1 and 2 (before a reload, and when the list empties).
void releasePanelPictures(MainWindow& state);

// The background of the panel area: dark grey in the dark scheme, else the
// button face.
COLORREF panelBackground(const MainWindow& state);

}  // namespace zav2
