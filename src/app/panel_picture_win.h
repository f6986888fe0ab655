// The panel's picture under its text, painted after each layout.
#pragma once

namespace zav2 {

struct MainWindow;

// Paints the text panel's background and picture after a layout.
void paintPanelPicture(MainWindow& state);

}  // namespace zav2
