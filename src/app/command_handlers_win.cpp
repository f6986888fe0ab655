// The engine's Media Foundation headers go first: mingw-w64's kernel-streaming
// header (pulled in by the endpoint-volume header) redefines types of theirs
// unless it comes second.
#include "engine/media_engine_player.h"
// clang-format off
#include "app/command_handlers_win.h"
#include "app/main_window_win.h"
// clang-format on

#include <commctrl.h>
#include <commdlg.h>

#include <cmath>

#include "resources/messages_win.h"
#include "playback/playback_window_win.h"
#include "settings/settings_apply_win.h"
#include "app/layout_calls_win.h"
#include "playback/player_window_win.h"
#include "ui/panel_win.h"
#include "playback/caption.h"
#include "playback/keep_awake.h"
#include "playback/time_display.h"
#include "resources/resource.h"
#include "ui/command_rules.h"

namespace zav2 {

namespace {

bool hasEntries(const MainWindow& state) {
    return !state.list.playlist.empty();
}

// Lowest selected row of the list box, -1 when nothing is selected.
int firstSelectedItem(const MainWindow& state) {
    int first = -1;
    if (SendMessageW(state.list.listBox, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) < 1)
        return -1;
    return first;
}

void makeCurrent(MainWindow& state, int row) {
    if (row >= 0 && row <= state.list.playlist.lastIndex())
        state.list.playlist.current = row;
}

bool playingOrPaused(PlayerState playerState) {
    return playerState == PlayerState::Playing || playerState == PlayerState::Paused;
}

// Stops what plays. False when the player would not stop: the caller must
// not switch entries then, or the next play would only pause the old one.
bool stop(MainWindow& state) {
    if (hasEntries(state))
        stopAndReset(playbackParts(state));
    return !playingOrPaused(player().GetState());
}

void activate(MainWindow& state) {
    SetActiveWindow(state.window);
}

void restoreCaption(MainWindow& state) {
    SetWindowTextW(state.window, state.savedCaption.c_str());
}

void setSeekBar(MainWindow& state, int position) {
    SendMessageW(state.playback.seekBar, TBM_SETPOS, TRUE, position);
}

void setTimeText(MainWindow& state, unsigned position) {
    SetWindowTextW(state.playback.timeText,
                   formatTimeText(position, state.playback.duration).c_str());
}

void frameStep(MainWindow& state, bool forward) {
    MediaEnginePlayer& engine = player();
    if (!frameStepAllowed(engine.GetPosition(), engine.GetDuration(), engine.GetFrameRate(),
                          forward)) {
        return;
    }
    if (FAILED(engine.FrameStep(forward)))
        return;  // the bar and the read-out stay as they were
    const double position = engine.GetPosition();
    const unsigned seconds = roundUpSeconds(position);
    setSeekBar(state, seekBarPosition(position));
    if (state.taskbar.list)
        state.taskbar.list->SetProgressValue(state.window, seconds, state.playback.duration);
    setTimeText(state, seconds);
}

void applyListFont(MainWindow& state) {
    const Settings& s = state.settings;
    applyFont(state.list.listBox, s.listFontSize, s.listFontName, s.listFontStyle,
              state.fonts.list);
    updateItemHeight(state.list.listBox);
    InvalidateRect(state.list.listBox, nullptr, TRUE);
}

void applyTextFont(MainWindow& state) {
    const Settings& s = state.settings;
    applyFont(state.panel.textPanel, s.textFontSize, s.textFontName, s.textFontStyle,
              state.fonts.text);
    layOutWindow(state);
}

// The system font dialog over one font's settings; false when cancelled.
bool chooseFontDialog(HWND control, int& size, String& faceName, int& style) {
    HDC dc = GetDC(control);
    if (!dc)
        return false;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY) > 0 ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    LOGFONTW font{};
    font.lfHeight = -MulDiv(size, dpi, 72);
    const size_t length = faceName.size() < kMaxFontName ? faceName.size() : kMaxFontName;
    faceName.copy(font.lfFaceName, length);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = control;
    choose.hDC = dc;
    choose.lpLogFont = &font;
    choose.iPointSize = size * 10;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    const bool confirmed = ChooseFontW(&choose) != FALSE;
    ReleaseDC(control, dc);
    if (!confirmed)
        return false;
    style = choose.nFontType;
    size = fontPointsFromHeight(font.lfHeight, dpi);
    faceName = font.lfFaceName;
    if (faceName.size() > kMaxFontName)
        faceName.resize(kMaxFontName);
    return true;
}

}  // namespace

void onListDoubleClick(MainWindow& state, WORD, WORD notification) {
    if (notification != LBN_DBLCLK || !hasEntries(state))
        return;
    if (!stop(state))
        return;
    makeCurrent(state, firstSelectedItem(state));
    playCurrentOrSkip(playbackParts(state));
    RedrawWindow(state.list.listBox, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    layOutWindow(state);
    reloadPanel(state);
    SetTimer(state.window, kDisplayTimerId, kDisplayTimerMilliseconds, nullptr);
    activate(state);
}

void onPlayButton(MainWindow& state, WORD, WORD) {
    const int before = state.list.playlist.current;
    const bool wasStopped = playerIsStopped();
    const int selected = firstSelectedItem(state);
    if (selected != -1 && selected != state.list.playlist.current) {
        if (!stop(state))
            return;
        makeCurrent(state, selected);
    }
    // With the playing entry still selected this pauses or resumes it.
    playCurrentOrSkip(playbackParts(state));
    if (state.list.playlist.current != before || wasStopped)
        reloadPanel(state);
    activate(state);
}

void onStopButton(MainWindow& state, WORD, WORD) {
    restoreCaption(state);
    stop(state);
}

void onStepButton(MainWindow& state, WORD id, WORD) {
    advanceFromCurrent(playbackParts(state),
                       id == IDC_NEXT_BUTTON ? Direction::Forward : Direction::Backward, true);
    reloadPanel(state);
    activate(state);
}

void onEnter(MainWindow& state, WORD, WORD) {
    if (playerIsPlaying()) {
        restoreCaption(state);
        stop(state);
    } else {
        // A paused entry would only be resumed: another selected row is
        // started from a stop, as the Play button does, so that the caption,
        // the bold row and the next advance follow what really plays.
        const int selected = firstSelectedItem(state);
        if (selected != -1 && selected != state.list.playlist.current && !stop(state)) {
            activate(state);
            return;
        }
        makeCurrent(state, selected);
        playCurrentOrSkip(playbackParts(state));
        reloadPanel(state);
    }
    activate(state);
}

void onEscape(MainWindow& state, WORD, WORD) {
    // Posted: the window must outlive the command that asks for its end,
    // whose caller still lays it out.
    PostMessageW(state.window, WM_CLOSE, 0, 0);
}

void onMenuButton(MainWindow& state, WORD id, WORD) {
    if (!state.commands.buttonMenuLatch.press())
        return;
    RECT button{};
    GetWindowRect(GetDlgItem(state.window, id), &button);
    if (HMENU shown = state.commands.shownMenu(id == IDC_OPEN_BUTTON ? kOpenMenu : kPlayMenu))
        TrackPopupMenu(shown, 0, button.left, button.bottom, 0, state.window, nullptr);
    state.commands.buttonMenuLatch.menuShown();
}

void onOpenMenuChoice(MainWindow& state, WORD id, WORD) {
    state.commands.buttonMenuLatch.clear();
    PostMessageW(state.window,
                 id == IDM_OPEN_FILE ? kMessageOpenFileDialog : kMessageOpenFolderDialog, 0, 0);
}

void onRelativeSeek(MainWindow& state, WORD id, WORD) {
    const std::optional<SeekStep> step = seekStepOf(id);
    if (!step)
        return;
    MediaEnginePlayer& engine = player();
    switch (engine.GetState()) {
        case PlayerState::Playing: {
            const std::optional<int> target =
                relativeSeekTarget(engine.GetPosition(), state.playback.duration, *step);
            if (!target)
                return;
            engine.Seek(*target);
            engine.Play();
            setSeekBar(state, *target * 10);
            break;
        }
        case PlayerState::Paused:
            if (step->seconds == 1)
                frameStep(state, step->forward);
            break;
        default:
            break;
    }
}

void onPercentJump(MainWindow& state, WORD id, WORD) {
    MediaEnginePlayer& engine = player();
    const std::optional<int> tenths = percentTenthsOf(id);
    if (!tenths || !playingOrPaused(engine.GetState()))
        return;
    const std::optional<double> target = percentJumpTarget(engine.GetDuration(), *tenths);
    if (!target)
        return;
    const unsigned whole = static_cast<unsigned>(std::floor(*target));
    setSeekBar(state, static_cast<int>(whole) * 10);
    engine.Seek(*target);  // no Play: a paused entry stays paused
    setTimeText(state, whole);
}

void onRate(MainWindow& state, WORD id, WORD) {
    MediaEnginePlayer& engine = player();
    if (engine.GetState() != PlayerState::Playing)
        return;
    int& rate = state.playback.playbackRate;
    rate = id == IDM_RATE_FASTER   ? fasterRate(rate)
           : id == IDM_RATE_SLOWER ? slowerRate(rate)
                                   : kNormalRate;
    // A file the engine could not take over goes on at normal speed, and the
    // caption says so.
    if (FAILED(engine.SetPlaybackRate(rate / 1000.0)))
        rate = static_cast<int>(std::lround(engine.PlaybackRate() * 1000.0));
    SetWindowTextW(state.window, captionWithRate(state.savedCaption, rate).c_str());
}

void onVolumeKey(MainWindow& state, WORD id, WORD) {
    const bool up = id == IDM_VOLUME_UP;
    const HWND focus = GetFocus();
    const WPARAM key = up ? VK_PRIOR : VK_NEXT;
    // The list scrolls by a page; so does the text, unless a video covers it.
    if (focus == state.list.listBox) {
        SendMessageW(state.list.listBox, WM_KEYDOWN, key, 0);
        return;
    }
    if (focus == state.panel.textPanel && !player().HasVideo()) {
        SendMessageW(state.panel.textPanel, WM_KEYDOWN, key, 0);
        return;
    }
    const int position =
        static_cast<int>(SendMessageW(state.playback.volumeSlider, TBM_GETPOS, 0, 0));
    SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE, sliderAfterPageKey(position, up));
    onVolumeSliderScroll(playbackParts(state), TB_ENDTRACK);
}

void onTopMostButton(MainWindow& state, WORD, WORD) {
    Settings& settings = state.settings;
    settings.TopMost = toggledFlag(settings.TopMost);
    const bool on = settings.TopMost == 1;
    setTopMost(state.window, on);
    setButtonIcon(state.window, IDC_TOPMOST_BUTTON, state.module,
                  on ? IDI_TOPMOST_ON : IDI_TOPMOST_OFF);
}

void onListButton(MainWindow& state, WORD, WORD) {
    Settings& settings = state.settings;
    RECT panel{};
    GetWindowRect(state.panel.textPanel, &panel);
    MapWindowPoints(HWND_DESKTOP, state.window, reinterpret_cast<POINT*>(&panel), 2);
    if (HDC dc = GetDC(state.window)) {
        const COLORREF colour =
            settings.DarkMode == 1 ? RGB(64, 64, 64) : GetSysColor(COLOR_BTNFACE);
        if (HBRUSH brush = CreateSolidBrush(colour)) {
            FillRect(dc, &panel, brush);
            DeleteObject(brush);
        }
        ReleaseDC(state.window, dc);
    }
    settings.LeftList = toggledFlag(settings.LeftList);
    if (!state.layout.constantsKnown)
        layOutWindow(state);  // takes the constants
    RECT client{};
    GetClientRect(state.window, &client);
    const int full = client.right - 2 * state.layout.constants.margin;
    const ListButtonState pressed =
        pressListButton(settings.ListWidth, full, settings.LeftList == 1);
    settings.ListWidth = pressed.listWidth;
    state.layout.listFillsWindow = pressed.fillsWindow;
    setButtonIcon(state.window, IDC_LIST_BUTTON, state.module, pressed.icon);
    layOutWindow(state);
}

void onMinimize(MainWindow& state, WORD, WORD) {
    ShowWindow(state.window, SW_MINIMIZE);
}

void onFontDialog(MainWindow& state, WORD id, WORD) {
    Settings& s = state.settings;
    // A cancelled dialog changes nothing; the font is applied all the same.
    if (id == IDM_LIST_FONT) {
        chooseFontDialog(state.list.listBox, s.listFontSize, s.listFontName, s.listFontStyle);
        applyListFont(state);
    } else {
        chooseFontDialog(state.panel.textPanel, s.textFontSize, s.textFontName, s.textFontStyle);
        applyTextFont(state);
    }
}

void onFontKey(MainWindow& state, WORD id, WORD) {
    const FontSizeKey key = id == IDM_FONT_SIZE_RESET ? FontSizeKey::Reset
                            : id == IDM_FONT_SIZE_UP  ? FontSizeKey::Larger
                                                      : FontSizeKey::Smaller;
    const HWND focus = GetFocus();
    Settings& s = state.settings;
    if (focus == state.list.listBox) {
        if (const std::optional<int> size = fontSizeAfterKey(key, s.listFontSize)) {
            s.listFontSize = *size;
            applyListFont(state);
        }
    } else if (focus == state.panel.textPanel) {
        if (const std::optional<int> size = fontSizeAfterKey(key, s.textFontSize)) {
            s.textFontSize = *size;
            applyTextFont(state);
        }
    }
}

void onMasterVolume(MainWindow& state, WORD id, WORD) {
    Settings& s = state.settings;
    s.MasterVolume = toggledFlag(s.MasterVolume);
    setMenuCheck(state.commands.shownMenu(kMasterMenu), id, s.MasterVolume == 1);
    float scalar = 0.0f;
    if (!state.playback.masterVolume ||
        FAILED(state.playback.masterVolume->GetMasterVolumeLevelScalar(&scalar)))
        return;
    s.Volume = static_cast<int>(scalar * 1000.0f);
    SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE, s.Volume / 10);
}

void onKeepAwakeToggle(MainWindow& state, WORD id, WORD) {
    Settings& s = state.settings;
    int& flag = id == IDM_NO_STANDBY ? s.NoStandby : s.NoDisplayOff;
    flag = toggledFlag(flag);
    setMenuCheck(state.commands.shownMenu(kTitleMenu), id, flag == 1);
    SetThreadExecutionState(ES_CONTINUOUS);
    const uint32_t request = keepAwakeAfterToggle(playingOrPaused(player().GetState()),
                                                  s.NoStandby == 1, s.NoDisplayOff == 1);
    if (request != ES_CONTINUOUS)
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(request));
}

}  // namespace zav2
