// The window's layout as the main window procedure and the commands ask
// for it: sizes, display modes, the splitter and DPI changes.
#pragma once

#include <windows.h>

namespace zav2 {

struct MainWindow;

// `refreshInput`: the list-refresh-pending flag when laying out for WM_SIZE;
// it keeps the right-hand controls of a narrow window shown.
void layOutWindow(MainWindow& state, bool refreshInput = false);
// After the fonts are loaded: at a DPI other than 96 the window's height is
// set so the list shows the whole rows the saved height shows at 96 DPI.
void keepListRows(MainWindow& state);
void cycleDisplayMode(MainWindow& state);
bool onSplitterMessage(MainWindow& state, UINT message, WPARAM wParam, LPARAM lParam);
void onGetMinMaxInfo(MainWindow& state, MINMAXINFO& info);
void onSizing(MainWindow& state, WPARAM edge, RECT& rect);
// Moved to a monitor of another DPI (or the DPI changed): the controls, the
// layout's constants and the list widths follow the new DPI, the window takes
// the rectangle offered, icons and fonts are loaded again, and it is laid out.
void onDpiChanged(MainWindow& state, int dpi, const RECT& suggested);

}  // namespace zav2
