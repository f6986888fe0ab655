// Playing an entry and advancing to the next, against an in-memory player
// and window: the player plays any path not marked unplayable; the window has
// files only where told. Then the time read-out, seek bar and volume rules.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "playback/advance.h"
#include "playback/keep_awake.h"
#include "playback/play_entry.h"
#include "playback/preload.h"
#include "playback/time_display.h"
#include "playback/volume.h"

namespace zav2::test {
namespace {

String u(const char* text) {
    return utf8ToUtf16(text);
}

class FakePlayer : public PlaybackPlayer {
  public:
    PlayerState current = PlayerState::Closed;
    std::set<String> unplayable;
    std::vector<String> opened;
    bool readyAtOnce = true;   // IsReady answers true after the open
    int readyAfterTicks = -1;  // else: the engine event arrives after n ticks
    bool fails = false;        // the engine reports an error for every file
    bool refuseStop = false;   // the engine would not stop
    double volume = -1, rate = -1;
    double at = 0, length = 0;  // position and duration of the loaded media
    int stops = 0, discards = 0;
    std::vector<double> seeks;

    PlayerState state() const override { return current; }
    bool openFile(StringView path) override {
        opened.emplace_back(path);
        const bool opens = !unplayable.count(String(path));
        current = opens ? PlayerState::Loaded : PlayerState::Closed;
        return opens;
    }
    bool isReady() override { return current != PlayerState::Closed && readyAtOnce && !fails; }
    bool hasFailed() override { return fails; }
    // Moves to `next` when the engine is in a state that allows it.
    bool moveTo(PlayerState next, bool allowed) {
        current = allowed ? next : current;
        return true;
    }
    bool play() override { return moveTo(PlayerState::Playing, current != PlayerState::Closed); }
    bool pause() override { return moveTo(PlayerState::Paused, current == PlayerState::Playing); }
    bool stop() override {
        ++stops;
        return !refuseStop && moveTo(PlayerState::Stopped, current != PlayerState::Closed);
    }
    void seek(double seconds) override { seeks.push_back(at = seconds); }
    double position() override { return at; }
    double duration() override { return length; }
    bool isEnded() override { return false; }
    bool hasVideo() override { return false; }
    void setVolume(double level) override { volume = level; }
    void setPlaybackRate(double r) override { rate = r; }
    void discardPreload() override { ++discards; }
};

class FakeWindow : public PlaybackWindow {
  public:
    std::set<String> files;
    std::vector<PlaybackMessage> messages;
    String caption = u("Zav2");
    int selected = -1, revealed = -1, ticks = 0;
    unsigned tickMs = kReadyWaitTickMs;  // what each look really takes
    bool timerRunning = false, taskbarHidden = false, taskbarHiddenWhileWaiting = false;
    std::pair<int, bool> output{-1, false};  // wave-out volume, master volume too
    FakePlayer* player = nullptr;            // for the late engine event
    std::atomic<int32_t>* engineReady = nullptr;
    std::vector<uint32_t> executionStates;

    bool fileExists(StringView path) override { return files.count(String(path)) != 0; }
    void showMessage(PlaybackMessage message) override { messages.push_back(message); }
    void setCaption(StringView text) override { caption = String(text); }
    int firstSelectedItem() override { return selected; }
    void selectItem(int index) override { selected = index; }
    void revealEntry(int index, bool) override { revealed = selected = index; }
    void startDisplayTimer() override { timerRunning = true; }
    void stopDisplayTimer() override { timerRunning = false; }
    void hideTaskbarForFullScreen() override { taskbarHidden = true; }
    void showTaskbar() override { taskbarHidden = false; }
    unsigned waitTick() override {
        ++ticks;
        taskbarHiddenWhileWaiting = taskbarHiddenWhileWaiting || taskbarHidden;
        if (player && engineReady && player->readyAfterTicks == ticks)
            engineReady->store(1);
        return tickMs;
    }
    void applyOutputVolume(int volume, bool master) override { output = {volume, master}; }
    void showVideo() override {}
    void showTextPanel() override {}
    void setExecutionState(uint32_t flags) override { executionStates.push_back(flags); }
    void requestLayout() override {}
};

String pathOf(int row) {
    return u("/m/") + u(std::to_string(row).c_str()) + u(".mp3");
}

constexpr int kOrder = 1, kRandom = 2, kSingle = 3, kOnePass = 4;

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

    // Entries "0.mp3" ... with consecutive order keys; all exist unless
    // listed in `missing`.
    explicit Rig(int count, std::set<int> missing = {}) {
        window.player = &player;
        window.engineReady = &engineReady;
        for (int i = 0; i < count; ++i) {
            playlist.entries.push_back({pathOf(i), {}, i});
            if (!missing.count(i))
                window.files.insert(pathOf(i));
        }
        playlist.current = count ? 0 : -1;
    }
    // Entry `from` playing in `mode` with keep-awake on; what it opened is
    // forgotten, so that a test sees only what comes after. Random mode
    // walks the shuffled keys {2, 0, 1}.
    void startAt(int from, int mode) {
        if (mode == kRandom) {
            for (PlaylistEntry& entry : playlist.entries)
                entry.order = (entry.order + 2) % 3;
        }
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

// --- Playing an entry --------------------------------------------------------

TEST(PlayEntryTest, StartsWithRateVolumeTimerAndPowerRequestThenPausesWithoutReopening) {
    Rig rig(3);
    rig.settings.volume = 640;
    rig.settings.rate = 2000;
    rig.settings.masterVolume = true;
    rig.settings.noStandby = true;

    EXPECT_EQ(rig.play(1), PlayResult::Handled);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.player.opened, std::vector{u("/m/1.mp3")});
    EXPECT_DOUBLE_EQ(rig.player.rate, 2.0);
    EXPECT_DOUBLE_EQ(rig.player.volume, 0.64);
    EXPECT_EQ(rig.window.output, std::pair(640, true));
    EXPECT_TRUE(rig.window.timerRunning);
    EXPECT_EQ(rig.window.caption, u("1.mp3") + ZT("【×2】"));
    EXPECT_EQ(rig.savedTitle, u("1.mp3"));
    // Any earlier request is cancelled before the new one is made.
    EXPECT_EQ(rig.window.executionStates, (std::vector<uint32_t>{0x80000000u, 0x80000001u}));
    EXPECT_FALSE(rig.entryLoading);

    // Asked again, it pauses and resumes without reopening.
    rig.play(1);
    EXPECT_EQ(rig.player.current, PlayerState::Paused);
    rig.play(1);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.player.opened.size(), 1u);
}

// Cut to 259 characters, a longer path would name another file.
TEST(PlayEntryTest, ALongPathIsOpenedWholeNeverCut) {
    Rig rig(1);
    const String longPath = u("/m/") + String(300, ZT('a')) + u(".mp3");
    rig.playlist.entries[0].path = longPath;
    rig.window.files.insert(longPath);
    rig.play(0);
    EXPECT_EQ(rig.player.opened, std::vector{longPath});
}

TEST(PlayEntryTest, EmptyListAndAStartDuringALoadDoNothing) {
    Rig rig(1);
    EXPECT_EQ(PlayEntry(rig.context, {}, -1, -1, rig.settings), PlayResult::Handled);
    rig.entryLoading = true;
    EXPECT_EQ(rig.play(0), PlayResult::Handled);
    EXPECT_TRUE(rig.player.opened.empty());
    EXPECT_EQ(rig.window.caption, u("Zav2"));
}

// An entry that cannot play is said once, or skipped with IgnoreError. A
// missing file leaves the old one as it was (nothing held ready sounds
// behind the message); one that will not open, or that the engine reports
// an error for, stops it at once: a silent "00:00" was what a FLAC the
// decoder could not take showed. In full screen the taskbar comes back.
TEST(PlayEntryTest, AnEntryThatCannotPlayIsToldOrSkipped) {
    enum Fault { Missing, Unopenable, EngineError };
    const struct {
        Fault fault;
        PlaybackMessage message;
        const char* caption;
    } cases[] = {
        {Missing, PlaybackMessage::FileNotFound, "0.mp3"},
        {Unopenable, PlaybackMessage::UnsupportedFile, "1.mp3"},
        {EngineError, PlaybackMessage::UnsupportedFile, "1.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "fault " << c.fault);
        Rig rig(2, c.fault == Missing ? std::set<int>{1} : std::set<int>{});
        rig.settings.displayMode = 3;
        rig.play(0);
        // Without the setting an earlier keep-awake request is only cancelled.
        EXPECT_EQ(rig.window.executionStates, std::vector<uint32_t>{0x80000000u});
        rig.player.current = PlayerState::Stopped;
        rig.player.stops = 0;
        rig.player.fails = c.fault == EngineError;
        if (c.fault == Unopenable)
            rig.player.unplayable.insert(pathOf(1));
        for (const bool ignoreError : {false, true}) {
            rig.settings.ignoreError = ignoreError;
            EXPECT_EQ(rig.play(1), ignoreError ? PlayResult::Skipped : PlayResult::Handled);
            const int tries = c.fault == Missing ? 0 : 1 + ignoreError;
            EXPECT_EQ(rig.window.messages, std::vector{c.message});
            EXPECT_EQ(rig.window.caption, u(c.caption));
            EXPECT_EQ(rig.player.stops, tries);
            EXPECT_EQ(rig.player.opened.size(), 1u + tries);
            EXPECT_EQ(rig.player.discards, c.fault == Missing ? 1 + ignoreError : 0);
            EXPECT_EQ(rig.window.ticks, 0);
            EXPECT_EQ(rig.window.timerRunning, c.fault == Missing);
            EXPECT_FALSE(rig.entryLoading);
            EXPECT_FALSE(rig.window.taskbarHidden);
        }
    }
}

// In full screen the taskbar is hidden only while the engine loads.
TEST(PlayEntryTest, WaitsAtMostThirtyTicksForTheEngine) {
    Rig rig(1);
    rig.settings.displayMode = 3;
    rig.player.readyAtOnce = false;
    rig.player.readyAfterTicks = 5;  // the can-play event comes late
    EXPECT_EQ(rig.play(0), PlayResult::Handled);
    EXPECT_EQ(rig.window.ticks, 5);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_TRUE(rig.window.taskbarHiddenWhileWaiting);
    EXPECT_FALSE(rig.window.taskbarHidden);

    // About 3 s for a file that never becomes ready; a rename's reopen waits the same.
    Rig silent(1);
    silent.player.readyAtOnce = false;
    EXPECT_EQ(silent.play(0), PlayResult::Handled);
    EXPECT_EQ(silent.window.ticks * kReadyWaitTickMs, 3000);
    // Looks that take twice as long on a busy machine: still 3 s, half the looks.
    Rig busy(1);
    busy.player.readyAtOnce = false;
    busy.window.tickMs = 2 * kReadyWaitTickMs;
    EXPECT_EQ(busy.play(0), PlayResult::Handled);
    EXPECT_EQ(busy.window.ticks * busy.window.tickMs, 3000u);
    EXPECT_EQ(silent.player.current, PlayerState::Loaded);
    EXPECT_TRUE(silent.window.messages.empty());  // only slow: nothing is said
    EXPECT_FALSE(silent.entryLoading);
    EXPECT_FALSE(silent.window.taskbarHiddenWhileWaiting);  // not in full screen
}

// --- Advancing by play mode --------------------------------------------------

constexpr Direction kFwd = Direction::Forward, kBack = Direction::Backward;
// Keep-awake states: the request while something plays, its cancellation once
// playback ends for good.
constexpr uint32_t kRequest = 0x80000001u, kCancel = 0x80000000u;

std::vector<String> paths(std::initializer_list<int> rows) {
    std::vector<String> result;
    for (int row : rows)
        result.push_back(pathOf(row));
    return result;
}

// One step from a playing entry; ONE mode stops after the last entry unless
// the step is asked for. Entries that are missing or will not open are
// skipped (with IgnoreError) until one plays or the search comes back round;
// never more than one message.
TEST(AdvanceTest, EachModeStepsToItsNextPlayableEntry) {
    using M = PlaybackMessage;
    struct Case {
        int mode, count;
        std::set<int> missing, unplayable;
        bool ignoreError;
        int from;
        Direction direction;
        bool manual;
        std::initializer_list<int> opened;
        int currentAfter;
        std::vector<M> messages;
    } const cases[] = {
        {kOrder, 3, {}, {}, false, 2, kFwd, false, {0}, 0, {}},
        {kOrder, 3, {}, {}, false, 0, kBack, true, {2}, 2, {}},
        {kOnePass, 3, {}, {}, false, 2, kFwd, false, {}, 2, {}},
        {kOnePass, 3, {}, {}, false, 2, kFwd, true, {0}, 0, {}},
        {kSingle, 3, {}, {}, false, 1, kFwd, false, {1}, 1, {}},
        {kSingle, 3, {}, {}, false, 1, kFwd, true, {2}, 2, {}},
        {kRandom, 3, {}, {}, false, 2, kFwd, false, {0}, 0, {}},
        {kRandom, 3, {}, {}, false, 0, kFwd, false, {1}, 1, {}},
        {kRandom, 3, {}, {}, false, 1, kBack, true, {0}, 0, {}},
        // Round to the origin, which plays again without a message.
        {kOrder, 4, {2}, {0, 3}, true, 1, kFwd, true, {3, 0, 1}, 1, {}},
        // A step back onto an entry that will not open retries forward.
        {kOrder, 3, {}, {0}, true, 1, kBack, true, {0, 1}, 1, {}},
        // ONE mode's search ends at the last entry.
        {kOnePass, 4, {}, {2, 3}, true, 1, kFwd, false, {2, 3}, 3, {M::NothingPlayable}},
        // Without IgnoreError the first failure ends the advance.
        {kOrder, 3, {}, {1, 2}, false, 0, kFwd, true, {1}, 1, {M::UnsupportedFile}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Rig rig(c.count, c.missing);
        rig.settings.ignoreError = c.ignoreError;
        rig.startAt(c.from, c.mode);
        for (int row : c.unplayable)
            rig.player.unplayable.insert(pathOf(row));
        rig.advance(c.direction, c.manual);
        const bool plays = c.opened.size() != 0 && c.messages.empty();
        EXPECT_EQ(rig.player.current == PlayerState::Playing, plays);
        EXPECT_EQ(rig.window.executionStates.back(), plays ? kRequest : kCancel);
        EXPECT_EQ(rig.player.opened, paths(c.opened));
        EXPECT_EQ(rig.playlist.current, c.currentAfter);
        EXPECT_EQ(rig.window.messages, c.messages);
        if (plays) {
            EXPECT_EQ(rig.window.revealed, c.currentAfter);
        }
    }
}

// Nothing playable among thousands of entries, or order keys that lead
// nowhere: the search still ends, with one message.
TEST(AdvanceTest, TheSearchAlwaysEnds) {
    for (bool brokenKeys : {false, true}) {
        Rig rig(brokenKeys ? 3 : 5000);
        rig.settings.ignoreError = true;
        rig.window.files.clear();
        if (brokenKeys) {
            for (PlaylistEntry& entry : rig.playlist.entries)
                entry.order = 5;  // no entry holds the next key: current never moves
        }
        rig.playlist.current = 1;
        Advance(rig.context, rig.playlist, kFwd, rig.settings, brokenKeys ? 0 : 1, false);
        EXPECT_EQ(rig.window.messages.size(), 1u) << brokenKeys;
        EXPECT_EQ(rig.playlist.current, 1) << brokenKeys;
    }
}

// The list and the player must not go out of step: an advance during a load
// (from a message box's loop) or with a player that will not stop leaves
// current where it is.
TEST(AdvanceTest, LoadingOrAPlayerThatWillNotStopKeepsCurrent) {
    for (bool loading : {true, false}) {
        Rig rig(3);
        rig.startAt(0, kOrder);
        rig.entryLoading = loading;
        rig.player.refuseStop = !loading;
        rig.advance(Direction::Forward, true);
        EXPECT_EQ(rig.playlist.current, 0) << loading;
        EXPECT_TRUE(rig.player.opened.empty()) << loading;
        EXPECT_EQ(rig.player.current, PlayerState::Playing) << loading;
    }
}

// Every way from one entry to another leaves the first where it is: the
// advance's stop keeps a long entry's place, its next start seeks there.
TEST(AdvanceTest, ALongEntryLeftForAnotherGoesOnFromItsPlace) {
    Rig rig(2);
    PlaceKeeper places;
    rig.context.places = &places;
    rig.player.length = 3600;
    rig.play(0);
    rig.player.at = 1500.5;
    rig.advance(Direction::Forward, true);
    EXPECT_TRUE(rig.player.seeks.empty());
    rig.player.at = 3590;  // entry 1 heard into its last minute
    rig.advance(Direction::Backward, true);
    EXPECT_EQ(rig.player.seeks, std::vector<double>{1500.0});
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.player.seeks.size(), 1u);
}

// --- Opening the next entry ahead --------------------------------------------

// What is opened ahead must be what the automatic advance then opens: any
// other file would be opened for nothing, and none where one plays next
// leaves a gap. The tick asks with a hint, which must never change that.
TEST(PreloadTest, TheEntryOpenedAheadIsTheOneTheEndOfMediaPlays) {
    struct Case {
        int mode, count, from;
    } const cases[] = {
        {kOrder, 3, 0},  {kOrder, 3, 2},  {kOnePass, 3, 1}, {kOnePass, 3, 2}, {kSingle, 3, 1},
        {kRandom, 3, 0}, {kRandom, 3, 1}, {kRandom, 3, 2},  {kOrder, 1, 0},   {kOnePass, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Rig rig(c.count);
        rig.startAt(c.from, c.mode);
        const std::optional<int> ahead = preloadIndex(rig.playlist, c.mode);
        // A hint left from another order never changes the answer.
        for (int32_t stale = -1; stale <= c.count; ++stale) {
            int32_t hint = stale;
            EXPECT_EQ(preloadIndex(rig.playlist, c.mode, &hint), ahead) << "hint " << stale;
        }
        rig.advance(kFwd, false);
        const bool anotherOpened = !rig.player.opened.empty() && rig.playlist.current != c.from;
        ASSERT_EQ(ahead.has_value(), anotherOpened);
        EXPECT_EQ(ahead.value_or(rig.playlist.current), rig.playlist.current);
    }
}

// Nothing stale is held, and nothing is opened that plays far from now.
TEST(PreloadTest, StepLetsGoOfWhatNoLongerComesNext) {
    using S = PreloadStep;
    using P = PlayerState;
    const String a = u("/m/a.mp3"), b = u("/m/b.mp3"), none;
    constexpr double kUnknown = 0;
    struct Case {
        std::optional<String> wanted;
        String held;
        P state;
        double position, duration, rate;
        S step;
    } const cases[] = {
        {a, none, P::Playing, 10, 25, 1, S::Load},             // due: within the lead
        {a, none, P::Playing, 10, 600, 1, S::Keep},            // not yet: far from the end
        {a, none, P::Playing, 0.2, 4, 1, S::Keep},             // its own start first
        {a, none, P::Playing, 0.05, 2, 1, S::Load},            // ... but not near the end
        {a, none, P::Playing, 10, kUnknown, 1, S::Load},       // length unknown: at once
        {a, none, P::Paused, 10, 25, 1, S::Keep},              // not while paused
        {a, u("/M/A.MP3"), P::Playing, 10, 25, 1, S::Keep},    // the same file
        {a, b, P::Playing, 10, 25, 1, S::Load},                // the list changed
        {a, b, P::Playing, 10, 600, 1, S::Discard},            // ... far from the end
        {std::nullopt, b, P::Playing, 10, 25, 1, S::Discard},  // mode: nothing next
        {a, a, P::Stopped, 10, 25, 1, S::Discard},             // stopped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        const std::optional<StringView> wanted =
            c.wanted ? std::optional<StringView>(*c.wanted) : std::nullopt;
        EXPECT_EQ(preloadStep(wanted, c.held, c.state, c.position, c.duration, c.rate), c.step);
    }
    EXPECT_FALSE(endIsNear(3.5, 4, 1, 0));
    EXPECT_TRUE(endIsNear(3.5, 4, 1, 0.3));  // watched before the early start is due
    EXPECT_TRUE(endIsNear(3.0, 4, 8, 0));    // in real time
    EXPECT_FALSE(endIsNear(3.9, 0, 1, 0));
}

// The next entry starts its latency before the end, timed to the millisecond
// only once that is near; never without a known end.
TEST(PreloadTest, EarlyStartComesItsLatencyBeforeTheEnd) {
    struct Case {
        double position, duration, rate, latency;
        std::optional<double> wait;
    } const cases[] = {
        {3.80, 4, 1, 0.05, std::nullopt},  // 150 ms to wait: the watch looks again
        {3.76, 4, 4, 0.05, 0.01},          // 10 ms to wait, in real time
        {3.99, 4, 1, 0.05, 0.0},           // late: at once
        {3.99, 0, 1, 0.05, std::nullopt},  // end unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " rate " << c.rate);
        const std::optional<double> wait =
            earlyStartWait(c.position, c.duration, c.rate, c.latency, 0.02);
        ASSERT_EQ(wait.has_value(), c.wait.has_value());
        if (wait) {
            EXPECT_NEAR(*wait, *c.wait, 1e-9);
        }
    }
}

// Whole seconds rounded up, never past a known duration; three-digit
// minutes from 6000 s on. The engine's NaN (unknown) is no time at all.
TEST(TimeDisplayTest, ReadOutAndSeekBarInWholeSecondsRoundedUp) {
    EXPECT_EQ(formatTimeText(65, 200), u("01:05 / 03:20"));
    EXPECT_EQ(formatTimeText(5999, 5999), u("99:59 / 99:59"));
    EXPECT_EQ(formatTimeText(65, 6000), u("001:05/100:00"));
    EXPECT_EQ(roundUpSeconds(59.2), 60u);
    EXPECT_EQ(seekBarPosition(0.01), 1);
    EXPECT_EQ(roundUpSeconds(std::nan("")), 0u);
    EXPECT_EQ(seekBarPosition(-1.0), 0);
    EXPECT_EQ(shownPosition(4.02, 4), 4u);
    EXPECT_EQ(shownPosition(12.5, 0), 13u);  // unknown length: the position alone
    EXPECT_EQ(mediaDurationSeconds(true, PlayerState::Playing, 183.2), 184u);
    EXPECT_EQ(mediaDurationSeconds(true, PlayerState::Stopped, 183.2), 0u);
    EXPECT_EQ(thumbTrackText(1234, 300), u("02:03 / 05:00"));
    EXPECT_EQ(thumbReleaseTarget(2999, 300), std::optional<unsigned>(299));
    EXPECT_EQ(thumbReleaseTarget(3000, 300), std::nullopt);  // at the end: next entry
}

// The seek bar's channel, the volume keys and wheel, and the keep-awake toggle.
TEST(ControlRulesTest, SeekBarVolumeAndKeepAwake) {
    // A bar from x 100 to 320: the scale runs from 109 to 311 (202 pixels).
    EXPECT_EQ(channelClickValue(311, 100, 320, 3000), 3000);
    EXPECT_EQ(channelClickValue(110, 100, 320, 3000), 14);  // 14.85 truncated
    EXPECT_EQ(channelClickValue(115, 100, 110, 100), 0);    // too narrow for a scale
    EXPECT_EQ(volumeAfterKey(980, true), 1000);
    EXPECT_EQ(volumeAfterKey(30, false), 0);
    EXPECT_EQ(sliderAfterWheel(98, 120), 100);
    EXPECT_EQ(sliderAfterWheel(50, 60), 52);     // half a notch: 2 steps
    EXPECT_EQ(waveOutVolume(500), 0x7FFF7FFFu);  // each channel at half
    // The request is made only while something plays.
    EXPECT_EQ(keepAwakeAfterToggle(false, true, true), 0x80000000u);
    EXPECT_EQ(keepAwakeAfterToggle(true, true, false), 0x80000001u);
    EXPECT_EQ(keepAwakeAfterToggle(true, false, true), 0x80000002u);
}

}  // namespace
}  // namespace zav2::test
