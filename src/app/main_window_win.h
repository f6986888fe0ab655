// The main window: dialog 101, its state and its dialog procedure.
#pragma once

#include <windows.h>
#include <endpointvolume.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <array>
#include <string>

#include "app/settings.h"
#include "app/layout_win.h"
#include "app/settings_apply_win.h"
#include "playback/file_operations.h"
#include "playlist/opening_work.h"
#include "platform/handles_win.h"
#include "playlist/pending_titles.h"
#include "playlist/playlist.h"
#include "playlist/resume_schedule.h"
#include "platform/text.h"
#include "ui/command_rules.h"

namespace zav2 {

// A menu resource and the sub-menu that is shown. The sub-menu is detached
// from its holder at load, so each is destroyed once: the shown menu first.
struct LoadedMenu {
    UniqueMenu holder;
    UniqueMenu shown;
};

enum MenuIndex { kListMenu, kMasterMenu, kPlayMenu, kTitleMenu, kTextMenu, kOpenMenu, kMenuCount };

// Program state: owned by the main window, passed by reference to the code
// that works on it. Created before the dialog and alive until the loop ends.
struct MainWindow {
    // Start-up facts.
    HINSTANCE module = nullptr;
    String instanceName;
    String programPath;
    UINT taskbarButtonCreatedMessage = 0;

    // Controls of dialog 101 kept by the procedure.
    HWND window = nullptr;
    HWND listBox = nullptr;
    WNDPROC listBoxProcedure = nullptr;  // its own, before the subclass
    HWND textPanel = nullptr;
    HWND videoHost = nullptr;
    HWND seekBar = nullptr;
    HWND volumeSlider = nullptr;
    HWND timeText = nullptr;

    // Rectangles the dialog template produced, for the layout constants.
    RECT templateWindowRect{};
    RECT templateClientRect{};
    RECT templateListRect{};

    bool playerReady = false;  // false: the window stays without its features
    HWND callerWindow = nullptr;
    std::string forwardedCommandLine;  // ANSI bytes from the last WM_COPYDATA
    std::array<bool, 6> hotKeyRegistered{};
    std::array<LoadedMenu, kMenuCount> menus;
    Microsoft::WRL::ComPtr<ITaskbarList3> taskbarList;
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> masterVolume;
    String settingsPath;
    Settings settings;
    SettingsFonts fonts;  // outlive the controls that use them

    Playlist playlist;      // index-aligned with the strings of listBox
    String currentFolder;   // folder of the last open, for list files and the resume list
    unsigned duration = 0;  // seconds of the current media
    bool listRefreshPending = true;
    ButtonMenuLatch buttonMenuLatch;
    int contextItem = 0;
    String jumpExpression;  // kept for the repeat jump
    // Start folders of the copy and move browsers.
    RememberedFolders fileFolders;
    int dragSource = -1;
    POINT lastMousePoint{-1, -1};
    String savedCaption = L"Zav2";
    RECT savedWindowRect{};
    ResumeSchedule resumeSchedule;
    // The path the start opens once the window is up and answering.
    String startPath;
    bool startResumes = false;
    // A folder being walked for an open, between messages.
    OpeningWork opening;
    // Titles still to read after an open or a drop, while the window idles.
    TitleWork titleWork;
    bool titlesToRead = false;
    // When the rows left behind were last refilled, and what that took (ms).
    uint64_t lastRowRefill = 0;
    uint64_t rowRefillCost = 0;
    int displayMode = 1;  // 1 normal, 2 maximised, 3 full screen
    LayoutState layout;
    int playbackRate = 1000;      // thousandths of normal speed; not saved
    bool entryLoading = false;    // a start is waiting for the engine
    ULONGLONG endWatchUntil = 0;  // while the end watch runs: when it gives up
    UniqueBitmap picture1;
    UniqueBitmap picture2;

    HMENU shownMenu(MenuIndex index) const { return menus[index].shown.get(); }
};

// Creates dialog 101 modeless, shown with `showCommand`. Null on failure.
HWND createMainWindow(MainWindow& state, int showCommand);

}  // namespace zav2
