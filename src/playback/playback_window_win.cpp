// Playback control in the main window: the display timer, the seek bar and
// the volume slider, the end of the media, the media keys and the start after
// an open. The rules live in this folder's portable files; this file moves
// values between them and the controls.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shellscalingapi.h>
#include <endpointvolume.h>

#include <algorithm>

#include "playback/playback_window_win.h"
#include "resources/messages_win.h"
#include "settings/settings.h"
#include "taskbar/taskbar_win.h"
#include "playback/playback_controls_win.h"
#include "playlist/playlist_view_win.h"
#include "playlist/playlist_window_win.h"
#include "ui/panel_state_win.h"
#include "ui/panel_win.h"
#include "engine/engine_ready.h"
#include "playback/engine_player_win.h"
#include "playback/preload.h"
#include "playback/time_display.h"
#include "playback/volume.h"

namespace zav2 {

namespace {

using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

// The main window's controls as playback control sees them.
class WindowPorts final : public PlaybackWindow {
  public:
    explicit WindowPorts(const PlaybackParts& state) : state(state) {}

    bool fileExists(StringView path) override {
        const String terminated(path);
        return GetFileAttributesW(terminated.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void showMessage(PlaybackMessage message) override {
        switch (message) {
            case PlaybackMessage::FileNotFound:
                MessageBoxW(state.window, L"ファイルが見つかりません。", L"Zav2", MB_OK);
                break;
            case PlaybackMessage::UnsupportedFile:
                // Owned, so the window takes no command while it shows.
                MessageBoxW(state.window, L"対応していないファイルです。", L"Zav2",
                            MB_OK | MB_ICONWARNING);
                break;
            case PlaybackMessage::NothingPlayable:
                MessageBoxW(state.window, L"対応しているファイルがありません。", L"Zav2", MB_OK);
                break;
        }
    }
    void setCaption(StringView caption) override {
        const String terminated(caption);
        SetWindowTextW(state.window, terminated.c_str());
    }
    int firstSelectedItem() override {
        int first = -1;
        if (SendMessageW(state.list.listBox, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) <
            1)
            return -1;
        return first;
    }
    void selectItem(int index) override {
        SendMessageW(state.list.listBox, LB_SETSEL, TRUE, index);
    }
    void revealEntry(int index, bool) override {
        if (index == state.list.playlist.current)
            revealCurrentEntry(state.list, state.settings.Mode == Settings::kRandom);
    }
    void startDisplayTimer() override {
        SetTimer(state.window, kDisplayTimerId, kDisplayTimerMilliseconds, nullptr);
    }
    void stopDisplayTimer() override { KillTimer(state.window, kDisplayTimerId); }
    void hideTaskbarForFullScreen() override {
        HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE);
        if (taskbar && MonitorFromWindow(state.window, MONITOR_DEFAULTTONEAREST) ==
                           MonitorFromWindow(taskbar, MONITOR_DEFAULTTONEAREST)) {
            ShowWindowAsync(taskbar, SW_HIDE);
        }
    }
    // The taskbar is the shell's window: ShowWindow would wait until the
    // shell's thread had handled it (beside busy cores that took over a
    // second, at every start of an entry), so the requests are only posted.
    // Posted, they are handled in order: a hide posted just before is
    // undone, which a look at the taskbar's state could not tell.
    void showTaskbar() override {
        if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr))
            ShowWindowAsync(taskbar, SW_SHOWNOACTIVATE);
    }
    unsigned waitTick() override {
        const ULONGLONG began = GetTickCount64();
        Sleep(kReadyWaitTickMs);
        // The clock moves in steps of 10-16 ms: never less than asked.
        return static_cast<unsigned>(
            std::max<ULONGLONG>(GetTickCount64() - began, kReadyWaitTickMs));
    }
    void applyOutputVolume(int volume, bool master) override {
        waveOutSetVolume(nullptr, waveOutVolume(volume));
        if (master && state.playback.masterVolume)
            state.playback.masterVolume->SetMasterVolumeLevelScalar(volume / 1000.0f, nullptr);
    }
    void showVideo() override {
        ShowScrollBar(state.panel.textPanel, SB_VERT, FALSE);
        placeVideoHost(state.panel, state.settings.ViewSize, state.settings.DarkMode == 1);
    }
    void showTextPanel() override { ShowScrollBar(state.panel.textPanel, SB_VERT, TRUE); }
    void setExecutionState(uint32_t flags) override {
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(flags));
    }
    void requestLayout() override {
        RECT client{};
        GetClientRect(state.window, &client);
        PostMessageW(state.window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }

  private:
    const PlaybackParts& state;
};

PlaySettings playSettingsOf(const PlaybackParts& state) {
    PlaySettings settings;
    settings.mode = state.settings.Mode;
    settings.volume = state.settings.Volume;
    settings.rate = state.playback.playbackRate;
    settings.displayMode = state.displayMode;
    settings.ignoreError = state.settings.IgnoreError == 1;
    settings.masterVolume = state.settings.MasterVolume == 1;
    settings.noStandby = state.settings.NoStandby == 1;
    settings.noDisplayOff = state.settings.NoDisplayOff == 1;
    return settings;
}

bool hasEntries(const PlaybackParts& state) {
    return !state.list.playlist.empty();
}

String pathOfCurrent(const PlaybackParts& state) {
    return currentEntryPath(state.list);
}

void setTimeText(const PlaybackParts& state, unsigned position) {
    SetWindowTextW(state.playback.timeText,
                   formatTimeText(position, state.playback.duration).c_str());
}

void setProgress(const PlaybackParts& state, unsigned completed, unsigned total) {
    if (state.taskbar.list)
        state.taskbar.list->SetProgressValue(state.window, completed, total);
}

void setSeekBarPosition(const PlaybackParts& state, int position) {
    SendMessageW(state.playback.seekBar, TBM_SETPOS, TRUE, position);
}

int sliderPosition(const PlaybackParts& state) {
    return static_cast<int>(SendMessageW(state.playback.volumeSlider, TBM_GETPOS, 0, 0));
}

// Where the cursor is on a trackbar's scale, for a click on its channel.
int clickedValue(HWND trackbar, int maximum) {
    POINT cursor{};
    RECT bar{};
    GetCursorPos(&cursor);
    GetWindowRect(trackbar, &bar);
    return channelClickValue(cursor.x, bar.left, bar.right, maximum);
}

void applyVolume(const PlaybackParts& state, int sliderValue) {
    EnginePlayer enginePlayer;
    enginePlayer.setVolume(sliderValue / 100.0);
    state.settings.Volume = sliderValue * 10;
    WindowPorts(state).applyOutputVolume(state.settings.Volume, state.settings.MasterVolume == 1);
}

void applyVolumeFromSlider(const PlaybackParts& state) {
    applyVolume(state, sliderPosition(state));
}

// Opens the entry that plays next ahead, or lets go of one that no longer
// comes next (the list, the mode or the order changed). Without `mayOpen`
// (after a command) nothing is opened here, only a held entry that is no
// longer the next is let go of; the next tick opens the right one.
void keepNextEntryReady(const PlaybackParts& state, EnginePlayer& enginePlayer, double position,
                        bool mayOpen = true) {
    std::optional<int> next =
        preloadIndex(state.list.playlist, state.settings.Mode, &state.playback.nextEntryHint);
    // An entry with a kept place starts there, not where the join would.
    if (next && state.playback.places.keepsPlaceOf(
                    state.list.playlist.entries[static_cast<size_t>(*next)].path))
        next.reset();
    const String wanted =
        next ? state.list.playlist.entries[static_cast<size_t>(*next)].path : String();
    const std::optional<StringView> wantedPath =
        next ? std::optional<StringView>(wanted) : std::nullopt;
    if (next)
        state.playback.gains.measureAhead(wanted);
    switch (preloadStep(wantedPath, enginePlayer.preloadedPath(), enginePlayer.state(), position,
                        enginePlayer.duration(), state.playback.playbackRate / 1000.0)) {
        case PreloadStep::Keep:
            break;
        case PreloadStep::Load:
            if (mayOpen)
                enginePlayer.preload(wanted);
            else if (!enginePlayer.preloadedPath().empty())
                enginePlayer.discardPreload();
            break;
        case PreloadStep::Discard:
            enginePlayer.discardPreload();
            break;
    }
}

// Starts the entry held ready so that its sound begins as the playing one's
// ends: waits the last few milliseconds here, which the watch's timer cannot
// time.
void startNextEntryOnTime(const PlaybackParts& state, EnginePlayer& enginePlayer) {
    const double position = enginePlayer.position();
    keepNextEntryReady(state, enginePlayer, position);
    if (enginePlayer.preloadedPath().empty())
        return;
    const double lead = enginePlayer.earlyStartLead();
    constexpr double kWithin = 2.0 * kEndWatchMilliseconds / 1000.0;
    const std::optional<double> wait = earlyStartWait(
        position, enginePlayer.duration(), state.playback.playbackRate / 1000.0, lead, kWithin);
    if (!wait)
        return;
    if (*wait > 0)
        Sleep(static_cast<DWORD>(*wait * 1000.0 + 0.5));
    enginePlayer.startPreloadEarly();
}

// The playing entry has ended: the entry held ready (if any) starts at once,
// before the advance's other steps. Under Wine an end may come before the
// early start was due.
void startNextEntryNow(const PlaybackParts& state, EnginePlayer& enginePlayer) {
    keepNextEntryReady(state, enginePlayer, enginePlayer.position());
    if (!enginePlayer.preloadedPath().empty())
        enginePlayer.startPreloadEarly();
}

// The panel for entry current, as the settings show it.
void reloadPanel(const PlaybackParts& state) {
    reloadPanel(state.panel, state.list, state.window, state.settings.ShowText == 1);
}

void stopEndWatch(const PlaybackParts& state) {
    if (state.playback.endWatchUntil == 0)
        return;
    KillTimer(state.window, kEndWatchTimerId);
    state.playback.endWatchUntil = 0;
}

void startEndWatch(const PlaybackParts& state) {
    if (state.playback.endWatchUntil != 0)
        return;
    state.playback.endWatchUntil = GetTickCount64() + kEndWatchLimitMilliseconds;
    SetTimer(state.window, kEndWatchTimerId, kEndWatchMilliseconds, nullptr);
}

}  // namespace

// --- Shared steps ----------------------------------------------------------

void dropStalePreload(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    keepNextEntryReady(state, enginePlayer, enginePlayer.position(), false);
}

bool playerIsStopped() {
    EnginePlayer enginePlayer;
    return enginePlayer.state() == PlayerState::Stopped;
}

bool playerIsIdle() {
    EnginePlayer enginePlayer;
    const PlayerState playerState = enginePlayer.state();
    return playerState != PlayerState::Playing && playerState != PlayerState::Paused;
}

bool playerIsPaused() {
    EnginePlayer enginePlayer;
    return enginePlayer.state() == PlayerState::Paused;
}

PlayResult playCurrentEntry(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    WindowPorts window(state);
    PlaybackContext context{enginePlayer,       window,
                            engineReady,        state.playback.entryLoading,
                            state.savedCaption, &state.playback.places};
    const int current = state.list.playlist.current;
    return PlayEntry(context, copyEntry(state.list.playlist, current), current,
                     state.list.playlist.lastIndex(), playSettingsOf(state));
}

void advanceFrom(const PlaybackParts& state, Direction direction, bool manual, int origin) {
    EnginePlayer enginePlayer;
    WindowPorts window(state);
    PlaybackContext context{enginePlayer,       window,
                            engineReady,        state.playback.entryLoading,
                            state.savedCaption, &state.playback.places};
    Advance(context, state.list.playlist, direction, playSettingsOf(state), origin, manual);
}

void advanceFromCurrent(const PlaybackParts& state, Direction direction, bool manual) {
    advanceFrom(state, direction, manual, state.list.playlist.current);
}

void playCurrentOrSkip(const PlaybackParts& state) {
    if (playCurrentEntry(state) == PlayResult::Skipped)
        advanceFromCurrent(state, Direction::Forward, false);
}

void readDuration(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    state.playback.duration = mediaDurationSeconds(!pathOfCurrent(state).empty(),
                                                   enginePlayer.state(), enginePlayer.duration());
    SendMessageW(state.playback.seekBar, TBM_SETRANGEMIN, TRUE, 0);
    SendMessageW(state.playback.seekBar, TBM_SETRANGEMAX, TRUE,
                 static_cast<LPARAM>(state.playback.duration) * 10);
}

int loadedMediaSeconds(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    return static_cast<int>(mediaDurationSeconds(!pathOfCurrent(state).empty(),
                                                 enginePlayer.state(), enginePlayer.duration()));
}

void reopenAndResume(const PlaybackParts& state, StringView path, double seconds) {
    EnginePlayer enginePlayer;
    WindowPorts window(state);
    engineReady.store(0);
    if (!enginePlayer.openFile(path) || !waitForEngine(enginePlayer, window, engineReady))
        return;
    engineReady.store(0);
    enginePlayer.setPlaybackRate(state.playback.playbackRate / 1000.0);
    enginePlayer.setVolume(state.settings.Volume / 1000.0);
    enginePlayer.seek(seconds);
    enginePlayer.play();
    window.startDisplayTimer();
}

void refreshTimeDisplay(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    readDuration(state);
    // A stopped player keeps its position for a later Play, but the read-out
    // of a stop shows the start, as the stop itself wrote it.
    const PlayerState playerState = enginePlayer.state();
    const bool loaded = playerState == PlayerState::Playing || playerState == PlayerState::Paused ||
                        playerState == PlayerState::Loaded;
    const double position = loaded ? enginePlayer.position() : 0.0;
    setSeekBarPosition(state, seekBarPosition(position));
    setProgress(state, shownPosition(position, state.playback.duration), state.playback.duration);
    applyVolumeFromSlider(state);
    setTimeText(state, shownPosition(position, state.playback.duration));
}

// --- The main window's seams -----------------------------------------------

void stopAndReset(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    stopEndWatch(state);
    enginePlayer.discardPreload();
    const PlayerState before = enginePlayer.state();
    const bool stopsNow = before == PlayerState::Playing || before == PlayerState::Paused;
    if (stopsNow) {
        KillTimer(state.window, kDisplayTimerId);
        state.playback.places.left(enginePlayer.position(), enginePlayer.duration());
        enginePlayer.stop();
        setSeekBarPosition(state, 0);
        setProgress(state, 0, 0);
        ShowWindow(state.panel.videoHost, SW_HIDE);
        ShowScrollBar(state.panel.textPanel, SB_VERT, TRUE);
        RECT client{};
        GetClientRect(state.panel.textPanel, &client);
        if (HDC dc = GetDC(state.panel.textPanel)) {
            const COLORREF colour =
                state.settings.DarkMode == 1 ? RGB(64, 64, 64) : GetSysColor(COLOR_BTNFACE);
            UniqueBrush brush(CreateSolidBrush(colour));
            FillRect(dc, &client, brush.get());
            ReleaseDC(state.panel.textPanel, dc);
        }
        RedrawWindow(state.panel.textPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    setTimeText(state, 0);
    SetThreadExecutionState(ES_CONTINUOUS);
    WindowPorts(state).requestLayout();
}

void onDisplayTimer(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    if (!hasEntries(state) || enginePlayer.state() != PlayerState::Playing)
        return;
    const double position = enginePlayer.position();
    setSeekBarPosition(state, seekBarPosition(position));
    setProgress(state, shownPosition(position, state.playback.duration), state.playback.duration);
    if (enginePlayer.isEnded()) {
        startNextEntryNow(state, enginePlayer);
        SendMessageW(state.window, kMessageEndOfMedia, 0, 0);
        return;
    }
    setTimeText(state, shownPosition(position, state.playback.duration));
    keepNextEntryReady(state, enginePlayer, position);
    if (endIsNear(position, enginePlayer.duration(), state.playback.playbackRate / 1000.0,
                  enginePlayer.earlyStartLead())) {
        startEndWatch(state);
    }
}

void onEndWatchTimer(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    if (enginePlayer.state() != PlayerState::Playing ||
        GetTickCount64() > state.playback.endWatchUntil) {
        stopEndWatch(state);
        return;
    }
    if (enginePlayer.isEnded()) {
        startNextEntryNow(state, enginePlayer);
        SendMessageW(state.window, kMessageEndOfMedia, 0, 0);
        return;
    }
    startNextEntryOnTime(state, enginePlayer);
}

void onSeekBarScroll(const PlaybackParts& state, WPARAM request) {
    EnginePlayer enginePlayer;
    const PlayerState playerState = enginePlayer.state();
    // Without a known duration the bar's range is 0 ... 0: any release would
    // be "at the end" and skip the entry, so the bar does nothing.
    if ((playerState != PlayerState::Playing && playerState != PlayerState::Paused) ||
        state.playback.duration == 0) {
        setSeekBarPosition(state, 0);
        return;
    }
    // The bar's own position rather than the message's 16-bit thumb
    // position, which cannot hold media longer than 6553 seconds.
    const int barPosition =
        static_cast<int>(SendMessageW(state.playback.seekBar, TBM_GETPOS, 0, 0));
    switch (LOWORD(request)) {
        case TB_PAGEUP:
        case TB_PAGEDOWN: {
            enginePlayer.discardPreload();
            const int value = clickedValue(state.playback.seekBar,
                                           static_cast<int>(state.playback.duration) * 10);
            setSeekBarPosition(state, value);
            enginePlayer.seek(value / 10.0);
            if (playerState == PlayerState::Paused)
                setTimeText(state, shownPosition(enginePlayer.position(), state.playback.duration));
            else
                enginePlayer.play();
            break;
        }
        case TB_THUMBTRACK:
            // The timer would overwrite the dragged time.
            KillTimer(state.window, kDisplayTimerId);
            SetWindowTextW(state.playback.timeText,
                           thumbTrackText(barPosition, state.playback.duration).c_str());
            break;
        case TB_ENDTRACK:
            SetTimer(state.window, kDisplayTimerId, kDisplayTimerMilliseconds, nullptr);
            break;
        default:
            if (const std::optional<unsigned> target =
                    thumbReleaseTarget(barPosition, state.playback.duration)) {
                enginePlayer.discardPreload();
                enginePlayer.seek(*target);
                if (playerState != PlayerState::Paused)
                    enginePlayer.play();
            } else {
                SendMessageW(state.window, kMessageEndOfMedia, 0, 0);
            }
            break;
    }
}

void onVolumeSliderScroll(const PlaybackParts& state, WPARAM request) {
    const WORD code = LOWORD(request);
    if (code == TB_PAGEUP || code == TB_PAGEDOWN)
        SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE,
                     clickedValue(state.playback.volumeSlider, 100));
    applyVolumeFromSlider(state);
}

void onEndOfMedia(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    const PlayerState playerState = enginePlayer.state();
    if (playerState != PlayerState::Playing && playerState != PlayerState::Paused &&
        playerState != PlayerState::Loaded) {
        return;
    }
    stopEndWatch(state);
    advanceFromCurrent(state, Direction::Forward, false);
    reloadPanel(state);
    setSeekBarPosition(state, 0);
    readDuration(state);
    setProgress(state, 0, state.playback.duration);
}

void onMediaKey(const PlaybackParts& state, UINT virtualKey) {
    EnginePlayer enginePlayer;
    switch (virtualKey) {
        case VK_MEDIA_PREV_TRACK:
        case VK_MEDIA_NEXT_TRACK:
            advanceFromCurrent(
                state, virtualKey == VK_MEDIA_NEXT_TRACK ? Direction::Forward : Direction::Backward,
                true);
            if (hasEntries(state))
                reloadPanel(state);
            break;
        case VK_MEDIA_STOP:
            stopAndReset(state);
            break;
        case VK_MEDIA_PLAY_PAUSE: {
            if (state.list.playlist.current == -1)
                break;
            if (enginePlayer.state() == PlayerState::Playing) {
                TogglePause(enginePlayer);
                break;
            }
            const bool wasStopped = playerIsStopped();
            playCurrentOrSkip(state);
            if (wasStopped)
                reloadPanel(state);
            break;
        }
        case VK_VOLUME_UP:
        case VK_VOLUME_DOWN:
            state.settings.Volume =
                volumeAfterKey(state.settings.Volume, virtualKey == VK_VOLUME_UP);
            SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE, state.settings.Volume / 10);
            if (state.settings.MasterVolume == 1 && state.playback.masterVolume) {
                state.playback.masterVolume->SetMasterVolumeLevelScalar(
                    state.settings.Volume / 1000.0f, nullptr);
            }
            break;
        default:
            return;
    }
    if (hasEntries(state))
        readDuration(state);
    applyVolumeFromSlider(state);
}

void onWheelOverPanel(const PlaybackParts& state, int delta) {
    const int value = sliderAfterWheel(sliderPosition(state), delta);
    SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE, value);
    applyVolume(state, value);
}

void startPlaybackAfterOpen(const PlaybackParts& state) {
    if (!hasEntries(state))
        return;
    stopAndReset(state);
    playCurrentOrSkip(state);
    readDuration(state);
    WindowPorts(state).applyOutputVolume(state.settings.Volume, state.settings.MasterVolume == 1);
}

void showResumedPlace(const PlaybackParts& state, const ResumeKeys& keys) {
    const String path = pathOfCurrent(state);
    if (path.empty())
        return;
    PlaceKeeper& places = state.playback.places;
    places.resumeAt(path, path == keys.nowPlaying ? static_cast<uint32_t>(keys.nowPosition) : 0);
    const std::optional<uint32_t> place = places.resumePlace(path);
    if (!place)
        return;
    EnginePlayer enginePlayer;
    WindowPorts window(state);
    engineReady.store(0);
    const bool ready =
        enginePlayer.openFile(path) && waitForEngine(enginePlayer, window, engineReady);
    engineReady.store(0);
    if (!ready)
        return;  // Play still goes on from the place, once the length is known
    if (!(*place < enginePlayer.duration())) {
        places.dropResume();  // the file is shorter now: it starts at 0
        return;
    }
    enginePlayer.seek(*place);
    refreshTimeDisplay(state);
}

int currentEntryPosition(const PlaybackParts& state) {
    EnginePlayer enginePlayer;
    const PlayerState playerState = enginePlayer.state();
    const bool playing = playerState == PlayerState::Playing || playerState == PlayerState::Paused;
    return static_cast<int>(state.playback.places.positionToSave(
        pathOfCurrent(state),
        playing ? std::optional<double>(enginePlayer.position()) : std::nullopt));
}

}  // namespace zav2
