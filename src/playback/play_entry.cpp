#include "playback/play_entry.h"

#include "playback/caption.h"
#include "playback/keep_awake.h"
#include "platform/path.h"

namespace zav2 {

namespace {

// Clears the loading flag on every way out of the load.
class LoadingGuard {
  public:
    explicit LoadingGuard(bool& flag) : flag(flag) { flag = true; }
    ~LoadingGuard() { flag = false; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;

  private:
    bool& flag;
};

}  // namespace

bool waitForEngine(PlaybackPlayer& player, PlaybackWindow& window,
                   std::atomic<int32_t>& engineReady) {
    if (player.isReady())
        engineReady.store(1);
    for (unsigned waited = 0; waited < kReadyWaitMs; waited += window.waitTick()) {
        if (engineReady.load() == 1 || player.isReady()) {
            engineReady.store(1);
            break;
        }
        if (player.hasFailed())
            break;
    }
    return engineReady.load() == 1;
}

void UpdateCaption(PlaybackContext& context, StringView path, int index, StringView title,
                   int rate) {
    String shown = displayTitle(path, title);
    if (shown.size() > kMaxPath)
        shown.resize(kMaxPath);
    context.savedTitle = shown;
    context.window.setCaption(captionWithRate(shown, rate));
    if (context.window.firstSelectedItem() == index)
        context.window.selectItem(index);
}

void TogglePause(PlaybackPlayer& player) {
    const PlayerState state = player.state();
    if (state == PlayerState::Playing)
        player.pause();
    else if (state == PlayerState::Paused)
        player.play();
}

bool stopLeaving(PlaybackContext& context) {
    PlaybackPlayer& player = context.player;
    const PlayerState state = player.state();
    if (context.places && (state == PlayerState::Playing || state == PlayerState::Paused))
        context.places->left(player.position(), player.duration());
    return player.stop();
}

PlayResult PlayEntry(PlaybackContext& context, const PlaylistEntry& entry, int index, int lastIndex,
                     const PlaySettings& settings) {
    if (lastIndex == -1 || context.entryLoading)
        return PlayResult::Handled;

    PlaybackPlayer& player = context.player;
    PlaybackWindow& window = context.window;
    // The same request pauses and resumes what is loaded; a new entry is only
    // opened from Closed, Loaded or Stopped.
    const PlayerState state = player.state();
    if (state == PlayerState::Playing) {
        player.pause();
        return PlayResult::Handled;
    }
    if (state == PlayerState::Paused) {
        player.play();
        return PlayResult::Handled;
    }

    // The whole path, however long: cut to the platform's limit it would name
    // another file, and the player refuses it as it is.
    const String& path = entry.path;
    if (path.empty() || !window.fileExists(path)) {
        // Not opened, so not taken over: the entry held ready must not go on
        // sounding behind the message (it is this one when it has gone).
        player.discardPreload();
        if (settings.ignoreError)
            return PlayResult::Skipped;
        window.showMessage(PlaybackMessage::FileNotFound);
        return PlayResult::Handled;
    }
    // Nothing switches while the old entry would not stop: a later play
    // request would only pause it.
    if (!stopLeaving(context))
        return PlayResult::Handled;
    UpdateCaption(context, path, index, entry.title, settings.rate);

    LoadingGuard loading(context.entryLoading);
    window.stopDisplayTimer();
    if (settings.displayMode == 3)
        window.hideTaskbarForFullScreen();

    context.engineReady.store(0);
    // A file the platform cannot open, and one the engine reports an error
    // for (a format it lists but cannot decode), both play nothing: the user
    // is told, or the entry is skipped, rather than left at "00:00 / 00:00".
    // A load that is only slow is left as it is, without a word.
    const bool opened = player.openFile(path);
    if (!opened || !waitForEngine(player, window, context.engineReady)) {
        window.showTaskbar();
        window.setExecutionState(kExecutionContinuous);  // nothing plays now
        if (opened && !player.hasFailed())
            return PlayResult::Handled;
        if (settings.ignoreError)
            return PlayResult::Skipped;
        window.showMessage(PlaybackMessage::UnsupportedFile);
        return PlayResult::Handled;
    }
    context.engineReady.store(0);

    player.setPlaybackRate(settings.rate / 1000.0);
    player.setVolume(settings.volume / 1000.0);
    window.applyOutputVolume(settings.volume, settings.masterVolume);
    // A long file goes on from where it was left, the entry resumed at
    // start-up from where the program closed.
    if (context.places) {
        if (const std::optional<double> from = context.places->opened(path, player.duration()))
            player.seek(*from);
    }
    if (player.hasVideo())
        window.showVideo();
    else
        window.showTextPanel();
    const bool started = player.play();
    window.showTaskbar();
    if (!started) {
        window.setExecutionState(kExecutionContinuous);
        return PlayResult::Handled;
    }
    window.startDisplayTimer();

    // Cancel any earlier request before making the one these settings ask for.
    window.setExecutionState(kExecutionContinuous);
    const uint32_t request = keepAwakeRequest(settings.noStandby, settings.noDisplayOff);
    if (request != kExecutionContinuous)
        window.setExecutionState(request);
    return PlayResult::Handled;
}

}  // namespace zav2
