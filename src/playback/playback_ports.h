// What playback control needs from the player and from the main window,
// reduced to the operations it makes. The Windows build implements them over
// MediaEnginePlayer and the dialog's controls; the tests in memory.
#pragma once

#include <cstdint>

#include "engine/player_rules.h"
#include "platform/text.h"

namespace zav2 {

class PlaybackPlayer {
  public:
    virtual ~PlaybackPlayer() = default;

    virtual PlayerState state() const = 0;
    // False when the file cannot be opened (an exception counts as failure).
    virtual bool openFile(StringView path) = 0;
    virtual bool isReady() = 0;
    // The engine gave up on the opened file (an error event): it never gets ready.
    virtual bool hasFailed() = 0;
    // False when the engine refused: the caller must not act as if it had
    // switched state (a player that did not stop still plays).
    virtual bool play() = 0;
    virtual bool pause() = 0;
    virtual bool stop() = 0;
    virtual void seek(double seconds) = 0;
    virtual double position() = 0;
    // As the engine reports it: NaN when unknown, infinity when unbounded.
    virtual double duration() = 0;
    virtual bool isEnded() = 0;
    virtual bool hasVideo() = 0;
    virtual void setVolume(double level) = 0;  // 0 ... 1
    virtual void setPlaybackRate(double rate) = 0;
    // Lets go of the next entry held ready. An advance's stop leaves the
    // first samples of that entry sounding for the open that takes it over;
    // a step that does not open it silences them with this.
    virtual void discardPreload() = 0;
};

enum class PlaybackMessage {
    FileNotFound,     // "ファイルが見つかりません。"
    UnsupportedFile,  // "対応していないファイルです。"
    NothingPlayable,  // "対応しているファイルがありません。"
};

class PlaybackWindow {
  public:
    virtual ~PlaybackWindow() = default;

    virtual bool fileExists(StringView path) = 0;
    virtual void showMessage(PlaybackMessage message) = 0;
    virtual void setCaption(StringView caption) = 0;
    // Lowest selected list row, -1 when nothing is selected.
    virtual int firstSelectedItem() = 0;
    virtual void selectItem(int index) = 0;
    // Scrolls the entry into view and selects it alone.
    virtual void revealEntry(int index, bool randomMode) = 0;
    virtual void startDisplayTimer() = 0;
    virtual void stopDisplayTimer() = 0;
    // Full screen: hides the taskbar when it shares the window's monitor.
    virtual void hideTaskbarForFullScreen() = 0;
    virtual void showTaskbar() = 0;
    // One step of the wait for the engine (kReadyWaitTickMs); answers the
    // milliseconds that really passed, more than asked on a busy machine.
    virtual unsigned waitTick() = 0;
    // Wave-out volume, and the system master volume when `master` is on.
    virtual void applyOutputVolume(int volume, bool master) = 0;
    // Hides the text panel's scroll bar and places the video host.
    virtual void showVideo() = 0;
    // Shows the text panel's scroll bar (media without video).
    virtual void showTextPanel() = 0;
    virtual void setExecutionState(uint32_t flags) = 0;
    // Posts WM_SIZE with the client size: the layout follows the new media.
    virtual void requestLayout() = 0;
};

}  // namespace zav2
