// The text panel: what it shows for entry current, its picture and the
// video host's place in it.
#pragma once

namespace zav2 {

struct MainWindow;

// Places the video host in the text panel for the display mode and ViewSize.
void placeVideoHost(MainWindow& state);

// Paints the text panel's background and picture after a layout.
void paintPanelPicture(MainWindow& state);

// Text panel: frees pictures 1 and 2 and loads the companion text, lyrics
// and pictures of entry current.
void reloadPanel(MainWindow& state);

}  // namespace zav2
