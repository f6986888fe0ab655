// The program's memory between runs: every setting with its default, how each
// is read from and written to the INI file beside the executable, and what a
// loaded value shows in the window (icons, check marks).
//
// Members carry the names of their INI keys, so the file, the menus and the
// code name a setting the same way.
#pragma once

#include <optional>
#include <vector>

#include "platform/settings_store.h"
#include "platform/text.h"

namespace zav2 {

struct Settings {
    // Play modes.
    static constexpr int kOrder = 1;
    static constexpr int kRandom = 2;
    static constexpr int kSingle = 3;
    static constexpr int kOnePass = 4;
    // Picture and video sizing.
    static constexpr int kZoom = 0;
    static constexpr int kOriginal = 1;
    static constexpr int kMultiple = 2;
    // Loudness normalisation.
    static constexpr int kGainOff = 0;
    static constexpr int kGainTrack = 1;
    static constexpr int kGainAlbum = 2;

    // Window placement as loaded; saved from the window itself.
    int x = 10;
    int y = 10;
    int width = 0;  // the dialog template's width, given at load
    int height = 380;

    int Mode = kOrder;
    int TopMost = 0;
    int ListWidth = 120;
    int DefaultListWidth = 120;
    int LeftList = 1;
    int SearchSubFolder = 0;
    int MasterVolume = 1;
    int ShowBitmapList = 1;
    int ShowBitmapText = 1;
    int ShowText = 1;
    int CenterText = 0;
    int ViewSize = kZoom;
    int IgnoreError = 0;
    int NoStandby = 0;
    int NoDisplayOff = 0;
    int Volume = 0;  // program volume 0 ... 1000; the key holds a tenth of it
    int textFontSize = 10;
    int listFontSize = 10;
    String textFontName{};  // at most kMaxFontName units
    String listFontName{};
    int textFontStyle = 0;
    int listFontStyle = 0;
    int SingleClickMode = 0;
    int NoExt = 0;
    int DarkMode = 0;
    int AfterActive = 0;
    int ReplayGain = kGainOff;
    String CaptureDir{};

    // Set once the settings have been read; a window that never loaded its
    // settings must not overwrite the file with defaults at exit.
    bool loaded = false;
};

inline constexpr size_t kMaxFontName = 31;  // face names live in 32-unit buffers

// Section names.
inline constexpr const Char* kSystemSection = ZT("SystemSetting");
inline constexpr const Char* kUserSection = ZT("UserSetting");

// Value forms.
bool parseSwitch(StringView text);  // "ON" in any case; anything else is off
const Char* switchText(int value);  // "ON" for 1, "OFF" otherwise
int parsePlayMode(StringView text);
const Char* playModeText(int mode);
int parseViewSize(StringView text);
const Char* viewSizeText(int viewSize);
int parseReplayGain(StringView text);  // "TRACK", "ALBUM"; anything else is off
const Char* replayGainText(int mode);
String numberText(int value);  // " %d": a blank between '=' and the digits

// The INI file: the program path with ".ini"; for a named instance ("-work")
// the program path with "-work.ini" instead, but only when that file already
// exists; the program never creates it.
String settingsFilePath(StringView programPath, StringView instanceName);

// Reading, in the order the keys are read at start-up.
//
// The file's sizes (`width`, `height`, `ListWidth`, `DefaultListWidth`) are
// pixels at 96 DPI, so a window saved at one DPI opens with the same
// proportions, and the list with the same rows, at another. In `Settings`
// they are the window's pixels at `dpi`.
//
// `x`, `y`, `width` (default `templateWidth`, pixels at `dpi`), `height`.
void readPlacement(SettingsStore& store, int templateWidth, int dpi, Settings& settings);
// `Mode` through `ReplayGain`. With `MasterVolume` on and the system master
// volume known (a scalar 0 ... 1), the program volume comes from it and the
// `Volume` key is not read. Marks the settings as loaded.
void readSettings(SettingsStore& store, std::optional<float> masterVolumeScalar, int dpi,
                  Settings& settings);
void readCaptureDir(SettingsStore& store, Settings& settings);
// Read afresh before each scan; never written by the program.
String readIgnoreDir(SettingsStore& store);
// The current folder and entry of the last run, for resuming the automatic
// list, and how far into that entry it was (whole seconds; 0 from its start).
struct ResumeKeys {
    String nowDir;
    String nowPlaying;
    int nowPosition = 0;
};
ResumeKeys readResumeKeys(SettingsStore& store);
void writeResumeKeys(SettingsStore& store, const ResumeKeys& keys);

// The list's rows against the window's height. At another DPI than 96 a
// row's height rounds apart from the window's scaled height (10 points are
// 13 pixels at 96 DPI but 17, not 16.25, at 120), so a saved height keeps its
// whole rows only when the window takes the difference, row by row.
struct ListRows {
    int chrome = 0;         // the window's height less the list's client height, at the DPI
    int rowHeight = 0;      // at the DPI
    int rowHeightAt96 = 0;  // of the same font at 96 DPI
};

// The window height at `dpi` that shows the whole rows `savedHeight` (pixels
// at 96 DPI) shows at 96 DPI ...
int heightForRows(int savedHeight, int dpi, const ListRows& rows);
// ... and back: the height to save for a window `height` high at `dpi`.
int savedHeightForRows(int height, int dpi, const ListRows& rows);

// The rectangle saved at exit: the window's own in normal display mode,
// otherwise the one kept before it was maximised or went full screen.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
WindowPlacement placementToSave(int displayMode, WindowPlacement current, WindowPlacement saved);

// Writes every key in the program's save order, `CaptureDir` last. Does
// nothing (and answers false) when the settings were never loaded.
// `placement` and the list widths are the window's pixels at `dpi`.
bool writeSettings(SettingsStore& store, const Settings& settings, WindowPlacement placement,
                   const ResumeKeys& resume, int dpi);

// --- What the loaded settings show in the window ---------------------------

// Controls and icons.
inline constexpr int kPlayModeButton = 1011;
inline constexpr int kTopMostButton = 1012;
inline constexpr int kListButton = 1013;

int playModeIcon(int mode);      // 114, 115, 116, 126
int playModeMenuItem(int mode);  // 2500, 2600, 2700, 3000
int topMostIcon(int topMost);    // 111 on, 117 off
// 112 hidden, 113 filling the window (when `fullWidth` is known, > 0),
// otherwise 127 with the list on the left and 128 on the right.
int listButtonIcon(int listWidth, int fullWidth, int leftList);

// The menus that hold check marks.
enum class SettingsMenu { List, Master, Play, Title, Text, Open };
struct CheckMark {
    SettingsMenu menu;
    int item;
    bool checked;
};
// Every switch's check mark, in the order the switches are loaded.
std::vector<CheckMark> switchCheckMarks(const Settings& settings);

// The window as the loaded settings need it, implemented over the real
// controls on Windows and in memory for tests.
class SettingsView {
  public:
    virtual ~SettingsView() = default;
    virtual void setButtonIcon(int buttonId, int iconId) = 0;
    virtual void setMenuCheck(SettingsMenu menu, int item, bool checked) = 0;
    virtual void setTopMost(bool on) = 0;
    virtual void setCenterText(bool on) = 0;
    // The text panel's font, then the list's, then the list's row height.
    virtual void applyFonts(const Settings& settings) = 0;
};

// Shows loaded settings: the play-mode icon and its one menu item, top-most
// state and icon, the list button's icon, the check marks, the text panel's
// alignment and the fonts.
void showLoadedSettings(SettingsView& view, const Settings& settings);

}  // namespace zav2
