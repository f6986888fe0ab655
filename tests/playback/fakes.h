// In-memory player and window for the playback tests. The player plays any
// path not marked unplayable; the window has files only where told.
#pragma once

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "playback/advance.h"
#include "playback/play_entry.h"

namespace zav2::test {

inline String u(const char* text) {
    String result;
    for (; *text; ++text)
        result += static_cast<Char>(*text);
    return result;
}

class FakePlayer : public PlaybackPlayer {
  public:
    PlayerState current = PlayerState::Closed;
    std::set<String> unplayable;
    std::vector<String> opened;
    bool readyAtOnce = true;   // IsReady answers true after the open
    int readyAfterTicks = -1;  // else: the engine event arrives after n ticks
    std::atomic<int32_t>* engineReady = nullptr;
    double volume = -1, rate = -1;
    int stops = 0;

    PlayerState state() const override { return current; }
    bool openFile(StringView path) override {
        opened.emplace_back(path);
        if (unplayable.count(String(path))) {
            current = PlayerState::Closed;
            return false;
        }
        current = PlayerState::Loaded;
        return true;
    }
    bool isReady() override { return current != PlayerState::Closed && readyAtOnce; }
    bool refuseStop = false;  // the engine would not stop
    bool play() override {
        if (current != PlayerState::Closed)
            current = PlayerState::Playing;
        return true;
    }
    bool pause() override {
        if (current == PlayerState::Playing)
            current = PlayerState::Paused;
        return true;
    }
    bool stop() override {
        ++stops;
        if (refuseStop)
            return false;
        if (current != PlayerState::Closed)
            current = PlayerState::Stopped;
        return true;
    }
    void seek(double) override {}
    double position() override { return 0; }
    double duration() override { return 0; }
    bool isEnded() override { return false; }
    bool hasVideo() override { return false; }
    void setVolume(double level) override { volume = level; }
    void setPlaybackRate(double r) override { rate = r; }
    String lastOpened() const { return opened.empty() ? String() : opened.back(); }
};

class FakeWindow : public PlaybackWindow {
  public:
    std::set<String> files;
    std::vector<PlaybackMessage> messages;
    String caption = u("Zav2");
    int selected = -1;
    int selectCalls = 0;
    int revealed = -1;
    bool timerRunning = false;
    bool taskbarHidden = false;
    bool taskbarHiddenWhileWaiting = false;
    int ticks = 0;
    FakePlayer* player = nullptr;  // for the late engine event
    std::atomic<int32_t>* engineReady = nullptr;
    int outputVolume = -1;
    bool outputMaster = false;
    std::vector<uint32_t> executionStates;
    int layouts = 0;

    bool fileExists(StringView path) override { return files.count(String(path)) != 0; }
    void showMessage(PlaybackMessage message) override { messages.push_back(message); }
    void setCaption(StringView text) override { caption = String(text); }
    int firstSelectedItem() override { return selected; }
    void selectItem(int index) override {
        selected = index;
        ++selectCalls;
    }
    void revealEntry(int index, bool) override {
        revealed = index;
        selected = index;
    }
    void startDisplayTimer() override { timerRunning = true; }
    void stopDisplayTimer() override { timerRunning = false; }
    void hideTaskbarForFullScreen() override { taskbarHidden = true; }
    void showTaskbar() override { taskbarHidden = false; }
    void waitTick() override {
        ++ticks;
        taskbarHiddenWhileWaiting = taskbarHiddenWhileWaiting || taskbarHidden;
        if (player && engineReady && player->readyAfterTicks == ticks)
            engineReady->store(1);
    }
    void applyOutputVolume(int volume, bool master) override {
        outputVolume = volume;
        outputMaster = master;
    }
    void showVideo() override {}
    void showTextPanel() override {}
    void setExecutionState(uint32_t flags) override { executionStates.push_back(flags); }
    void requestLayout() override { ++layouts; }
};

// A player, a window and the flags of one program, wired together.
struct Rig {
    FakePlayer player;
    FakeWindow window;
    std::atomic<int32_t> engineReady{0};
    bool entryLoading = false;
    String savedTitle;
    PlaybackContext context{player, window, engineReady, entryLoading, savedTitle};
    PlaySettings settings;
    Playlist playlist;

    explicit Rig(int count = 0, std::set<int> missing = {}) {
        window.player = &player;
        window.engineReady = &engineReady;
        makeList(count, missing);
    }

    // Entries "0.mp3" ... with consecutive order keys; all exist unless
    // listed in `missing`.
    void makeList(int count, std::set<int> missing = {}) {
        playlist.entries.clear();
        for (int i = 0; i < count; ++i) {
            const String path = u("/m/") + u(std::to_string(i).c_str()) + u(".mp3");
            playlist.entries.push_back({path, {}, i});
            if (!missing.count(i))
                window.files.insert(path);
        }
        playlist.current = count ? 0 : -1;
    }
    void makeUnplayable(std::set<int> rows) {
        for (int row : rows)
            player.unplayable.insert(playlist.entries[row].path);
    }
    // Entry `from` playing in `mode` with keep-awake on; what it opened is
    // forgotten, so that a test sees only what comes after.
    void startAt(int from, int mode) {
        settings.mode = mode;
        settings.noStandby = true;
        playlist.current = from;
        play(from);
        player.opened.clear();
    }
    PlayResult play(int index) {
        return PlayEntry(context, copyEntry(playlist, index), index, playlist.lastIndex(),
                         settings);
    }
    void advance(Direction direction, bool manual) {
        Advance(context, playlist, direction, settings, playlist.current, manual);
    }
};

}  // namespace zav2::test
