// Loading the settings into the main window and saving them from it: the
// entry points the main window calls at start-up and at exit, and the small
// window operations a setting needs (also used by the commands that toggle
// those settings).
#pragma once

#include <windows.h>
#include <endpointvolume.h>

#include <optional>

#include "settings/settings.h"
#include "settings/settings_fonts.h"

namespace zav2 {

// The shown sub-menus that carry check marks; a null menu is skipped.
struct SettingsMenus {
    HMENU list = nullptr;    // "Zav2_POPUP"
    HMENU master = nullptr;  // "Zav2_MASTER"
    HMENU play = nullptr;    // "Zav2_PLAY"
    HMENU title = nullptr;   // "Zav2_TITLE"
    HMENU text = nullptr;    // "Zav2_TEXT"
    HMENU open = nullptr;    // "Zav2_OPEN"
};

// What loading the settings touches.
struct SettingsWindow {
    HINSTANCE module = nullptr;  // holds the button icons
    HWND window = nullptr;       // main window; parent of buttons 1011, 1012, 1013
    HWND textPanel = nullptr;    // edit 1014
    HWND listBox = nullptr;      // list box 1001
    SettingsMenus menus;
};

// The fonts made for the text panel and the list; they must outlive neither
// their controls' use of them, so the main window keeps them until it is gone.
struct SettingsFonts {
    ControlFont text;
    ControlFont list;
};

// Reads `x`, `y`, `width`, `height` and moves and sizes the window (z-order
// unchanged). `templateWidth` is the window width the dialog template gave.
void loadPlacement(const String& settingsPath, HWND window, int templateWidth, Settings& settings);

// Reads `Mode` through `AfterActive` and shows them: play-mode icon and menu
// item, top-most state and icon, list button icon, check marks, centred text,
// fonts. With `MasterVolume` on and `masterVolume` given, the program volume
// is the system master volume. Answers the player volume (0 ... 1) to set
// when the volume came from the `Volume` key, else nothing.
std::optional<double> loadSettings(const String& settingsPath, const SettingsWindow& target,
                                   IAudioEndpointVolume* masterVolume, SettingsFonts& fonts,
                                   Settings& settings);

// The volume slider's range 0 ... 100 and its position, volume / 10.
void showVolumeOnSlider(HWND volumeSlider, int volume);

// Reads `CaptureDir` of `UserSetting`.
void loadCaptureDir(const String& settingsPath, Settings& settings);
// Read afresh before each drop onto the list and each open.
String loadIgnoreDir(const String& settingsPath);
// `nowDir` and `nowPlaying`, for resuming the automatic list.
ResumeKeys loadResumeKeys(const String& settingsPath);
void saveResumeKeys(const String& settingsPath, const ResumeKeys& keys);

// Writes every key. The placement is the window's rectangle in normal display
// mode (1), else `savedWindowRect`. Writes nothing when the settings were
// never loaded (the player could not be initialised), so the file stays as it
// was. Answers whether it wrote. `rows`: the list's, to keep them in the height.
bool saveSettings(const String& settingsPath, const Settings& settings, HWND window,
                  int displayMode, const RECT& savedWindowRect, StringView nowPlaying,
                  StringView nowDir, const ListRows& rows);

// Window operations behind single settings.
// An icon from `module` on the button `buttonId` of `window`, 14 x 14 at
// 96 DPI and scaled with the window's DPI.
void setButtonIcon(HWND window, int buttonId, HINSTANCE module, int iconId);

// Every transport button's icon again, at the window's DPI now.
void reloadButtonIcons(HWND window, HINSTANCE module);

// The buttons' icons freed, as the window goes.
void releaseButtonIcons(HWND window);
void setTopMost(HWND window, bool on);  // without moving or sizing
void setCenterText(HWND textPanel, bool on);
void setMenuCheck(HMENU menu, int item, bool checked);
// Both fonts as the settings give them, then the list's row height.
void applySettingsFonts(HWND textPanel, HWND listBox, const Settings& settings,
                        SettingsFonts& fonts);

}  // namespace zav2
