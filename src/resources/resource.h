// Identifiers of Zav2's resources: dialogs, their controls, menus, commands and icons.
// Included by zav2_win.rc and by C++ code, so it holds plain #defines only.
#pragma once

// ---------------------------------------------------------------------------
// Dialog templates.

#define IDD_MAIN 101    // the main window
#define IDD_FILTER 129  // search expression for the filter
#define IDD_JUMP 130    // search expression for the jump
#define IDD_RENAME 131  // new file name

// ---------------------------------------------------------------------------
// Controls of the main window. Its buttons are also commands (clicks, keys,
// thumbnail buttons and forwarded switches all arrive with these ids).

#define IDC_LIST 1001             // play list box
#define IDC_PLAY_BUTTON 1004      // play / pause
#define IDC_OPEN_BUTTON 1005      // shows the open menu
#define IDC_STOP_BUTTON 1006      // stop
#define IDC_PREVIOUS_BUTTON 1007  // previous entry
#define IDC_NEXT_BUTTON 1008      // next entry
#define IDC_SEEK_BAR 1009         // trackbar, tenths of a second
#define IDC_VOLUME_SLIDER 1010    // trackbar, 0 ... 100
#define IDC_MODE_BUTTON 1011      // shows the play-mode menu
#define IDC_TOPMOST_BUTTON 1012   // top-most toggle
#define IDC_LIST_BUTTON 1013      // list pane hidden / full / normal
#define IDC_TEXT_PANEL 1014       // text, lyrics and picture panel
#define IDC_VIDEO_HOST 1017       // the video surface lives inside it
#define IDC_TIME_DISPLAY (-1)     // "00:00 / 00:00"; the only id -1 of the main window

// Controls of the small dialogs (OK and Cancel are IDOK and IDCANCEL).
#define IDC_SEARCH_EDIT 1016  // dialogs 129 and 130
#define IDC_RENAME_EDIT 1014  // dialog 131

// ---------------------------------------------------------------------------
// Menu resources. Each holds one popup "DUMMY" whose sub-menu is the menu shown.
// The resource compiler needs bare names; C++ needs strings for LoadMenuW.

#ifdef RC_INVOKED
#define IDR_MENU_LIST Zav2_POPUP     // right-click on the play list
#define IDR_MENU_MASTER Zav2_MASTER  // right-click on the volume slider
#define IDR_MENU_PLAY Zav2_PLAY      // play-mode button
#define IDR_MENU_TITLE Zav2_TITLE    // right-click on the caption
#define IDR_MENU_TEXT Zav2_TEXT      // right-click on the text panel
#define IDR_MENU_OPEN Zav2_OPEN      // open button
#else
#define IDR_MENU_LIST L"Zav2_POPUP"
#define IDR_MENU_MASTER L"Zav2_MASTER"
#define IDR_MENU_PLAY L"Zav2_PLAY"
#define IDR_MENU_TITLE L"Zav2_TITLE"
#define IDR_MENU_TEXT L"Zav2_TEXT"
#define IDR_MENU_OPEN L"Zav2_OPEN"
#endif

// ---------------------------------------------------------------------------
// Menu commands.

// List menu (Zav2_POPUP).
#define IDM_FILTER 4700
#define IDM_SINGLE_CLICK_MODE 40012
#define IDM_HIDE_EXTENSION 40017
#define IDM_REMOVE_FROM_LIST 1500
#define IDM_SORT_LIST 2900
#define IDM_SAVE_PLAYLIST 1600
#define IDM_COPY_FILES 1100
#define IDM_MOVE_FILES 1200
#define IDM_DELETE_FILES 1400
#define IDM_LIST_PICTURE 40007  // embedded picture behind the list
#define IDM_LIST_FONT 3500
#define IDM_PROPERTIES 1000

// Text panel menu (Zav2_TEXT).
#define IDM_TEXT_PICTURE 40008  // embedded picture in the panel
#define IDM_SHOW_LYRICS 40026
#define IDM_CENTER_TEXT 40010
#define IDM_TEXT_FONT 3400
#define IDM_CAPTURE_TO_FILE 40019
#define IDM_CAPTURE_TO_CLIPBOARD 40021

// Caption menu (Zav2_TITLE).
#define IDM_MINIMIZE 3100
#define IDM_IGNORE_ERROR 3800
#define IDM_NO_DISPLAY_OFF 40005
#define IDM_NO_STANDBY 40003
#define IDM_AFTER_ACTIVE 40027  // activate the caller window at exit
#define IDM_DARK_MODE 40028
// Loudness normalisation, one of three (IDM_GAIN_OFF + the setting's value).
#define IDM_GAIN_OFF 40029
#define IDM_GAIN_TRACK 40030
#define IDM_GAIN_ALBUM 40031

// Play-mode menu (Zav2_PLAY).
#define IDM_MODE_ORDER 2500
#define IDM_MODE_RANDOM 2600
#define IDM_MODE_SINGLE 2700
#define IDM_MODE_ONCE 3000

// Open menu (Zav2_OPEN); 1700 and 1800 are owner-drawn at run time.
#define IDM_OPEN_FILE 1700
#define IDM_OPEN_FOLDER 1800
#define IDM_SEARCH_SUBFOLDERS 1900

// Master-volume menu (Zav2_MASTER).
#define IDM_MASTER_VOLUME 2400

// ---------------------------------------------------------------------------
// Commands reached by keys only (the accelerator table is built at run time).

#define IDM_PLAY_OR_STOP 13       // Enter
#define IDM_CLOSE 27              // Escape
#define IDM_VOLUME_UP 33          // Page Up
#define IDM_VOLUME_DOWN 34        // Page Down
#define IDM_NEXT_MODE 35          // End
#define IDM_NEXT_DISPLAY_MODE 36  // Home
#define IDM_TOGGLE_LIST 45        // Insert
#define IDM_FONT_SIZE_RESET 106   // keypad *
#define IDM_FONT_SIZE_UP 107      // keypad +
#define IDM_FONT_SIZE_DOWN 109    // keypad -
#define IDM_MOVE_SELECTION_DOWN 2000
#define IDM_MOVE_SELECTION_UP 2100
#define IDM_SELECT_ALL 2800
#define IDM_RANDOM_JUMP 3700
#define IDM_MOVE_TO_TRASH 4000
#define IDM_SEEK_FORWARD_1S 4100
#define IDM_SEEK_FORWARD_10S 4200
#define IDM_SEEK_FORWARD_60S 4300
#define IDM_SEEK_FORWARD_600S 5000
#define IDM_SEEK_BACK_1S 4400
#define IDM_SEEK_BACK_10S 4500
#define IDM_SEEK_BACK_60S 4600
#define IDM_SEEK_BACK_600S 5100
#define IDM_JUMP 4800
#define IDM_JUMP_AGAIN 4900
#define IDM_NEXT_VIEW_SIZE 40014
#define IDM_CLIPBOARD_COPY 40023
#define IDM_CLIPBOARD_CUT 40024
#define IDM_RENAME 40025
#define IDM_SEEK_PERCENT_0 41000  // keypad digit d: IDM_SEEK_PERCENT_0 + d, d × 10 %
#define IDM_SEEK_PERCENT_90 41009
#define IDM_RATE_FASTER 41010
#define IDM_RATE_SLOWER 41011
#define IDM_RATE_NORMAL 41012

// ---------------------------------------------------------------------------
// Icons. Their ids also fix the jump list's icon indices: the platform counts
// group icons in ascending id order (103 is index 0, 5107 index 19), so no
// other icon may be added between them.

#define IDI_APP 103        // window's large icon, recent items
#define IDI_APP_SMALL 105  // window's small icon
#define IDI_PLAY 106
#define IDI_STOP 107
#define IDI_PREVIOUS 108
#define IDI_NEXT 109
#define IDI_OPEN 110
#define IDI_TOPMOST_ON 111
#define IDI_LIST_HIDDEN 112
#define IDI_LIST_FULL 113
#define IDI_MODE_ORDER 114
#define IDI_MODE_RANDOM 115
#define IDI_MODE_SINGLE 116
#define IDI_TOPMOST_OFF 117
#define IDI_FILE 118    // open menu, "file" item
#define IDI_FOLDER 119  // open menu, "folder" item
#define IDI_MODE_ONCE 126
#define IDI_LIST_LEFT 127   // list pane left of the text panel
#define IDI_LIST_RIGHT 128  // list pane right of the text panel
// Taskbar thumbnail buttons and jump-list tasks (light glyphs for a dark background).
#define IDI_THUMB_STOP 5107
#define IDI_THUMB_PREVIOUS 5108
#define IDI_THUMB_NEXT 5109
#define IDI_THUMB_PLAY_PAUSE 5110
