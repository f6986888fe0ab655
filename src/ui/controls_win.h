// The subclassed child controls of the main window, and the owner-drawn
// list rows and Open menu items.
#pragma once

#include <windows.h>

namespace zav2 {

struct MainWindow;

void subclassVideoHost(MainWindow& state);
void subclassSeekBar(MainWindow& state);
void subclassPanelAndList(MainWindow& state);
void subclassVolumeSlider(MainWindow& state);
void drawListItem(MainWindow& state, const DRAWITEMSTRUCT& item);
void drawOpenMenuItem(MainWindow& state, const DRAWITEMSTRUCT& item);

}  // namespace zav2
