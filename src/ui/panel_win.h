// The text panel: what it shows for entry current, its picture and the
// video host's place in it.
#pragma once

#include <windows.h>

namespace zav2 {

struct PanelState;
struct PlaylistView;

// Places the video host in the text panel for `ViewSize`; `darkMode` gives
// the colour around it.
void placeVideoHost(const PanelState& panel, int viewSize, bool darkMode);

// Text panel: frees pictures 1 and 2 and loads the companion text, lyrics
// and pictures of entry current; the text shows when `showText`. `window`
// is laid out again when no text will be drawn over the picture.
void reloadPanel(PanelState& panel, const PlaylistView& list, HWND window, bool showText);

// Frees pictures 1 and 2 (before a reload, and when the list empties).
void releasePanelPictures(PanelState& panel);

// The background of the panel area: dark grey in the dark scheme, else the
// button face.
COLORREF panelBackground(bool darkMode);

}  // namespace zav2
