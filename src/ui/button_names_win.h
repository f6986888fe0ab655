// Names for the main window's icon buttons and sliders, for screen readers
// and tooltips.
#pragma once

#include <windows.h>

namespace zav2 {

// `window`: the main window. Names the eight icon buttons (their text, which
// they do not draw) and keeps each name in step with the icon it shows;
// gives each a tooltip of its name and key; names the seek bar and the
// volume slider. Once, after the controls exist.
void nameControls(HWND window);

}  // namespace zav2
