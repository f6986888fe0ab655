// The subclassed child controls of the main window, and the owner-drawn
// list rows and Open menu items.
#pragma once

#include <windows.h>

namespace zav2 {

struct PanelState;
struct PlaylistView;

// `window`: the main window, which takes what the controls pass on.
void subclassVideoHost(HWND window, const PanelState& panel);
void subclassSeekBar(HWND seekBar);
// `singleClickMode` is the setting itself, read at each click.
void subclassPanelAndList(HWND window, const PanelState& panel, const PlaylistView& list,
                          const int& singleClickMode);
void subclassVolumeSlider(HWND volumeSlider);
// `showPicture`: picture 1 behind the rows.
void drawListItem(const PlaylistView& list, const PanelState& panel, bool darkMode,
                  bool showPicture, const DRAWITEMSTRUCT& item);
void drawOpenMenuItem(HWND window, HINSTANCE module, const DRAWITEMSTRUCT& item);

}  // namespace zav2
