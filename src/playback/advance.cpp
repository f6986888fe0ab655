#include "playback/advance.h"

#include "playback/keep_awake.h"

namespace zav2 {

namespace {

constexpr int kRandom = 2;
constexpr int kSingle = 3;
constexpr int kOnePass = 4;

}  // namespace

std::optional<int> nextEntryIndex(const Playlist& playlist, Direction direction, int mode,
                                  bool manual, int32_t* hint) {
    const int lastIndex = playlist.lastIndex();
    const int current = playlist.current;
    if (current < 0 || current > lastIndex)
        return current;
    int target = playlist.entries[current].order;
    if (direction == Direction::Forward) {
        ++target;
        if (target == lastIndex + 1) {
            if (mode == kOnePass && !manual)
                return std::nullopt;
            target = 0;
        }
    } else {
        --target;
        if (target == -1)
            target = lastIndex;
    }
    // The keys are a permutation, so an index that holds the key is the one.
    const auto holds = [&](int32_t i) {
        return i >= 0 && i <= lastIndex && playlist.entries[static_cast<size_t>(i)].order == target;
    };
    if (holds(target))
        return target;
    if (hint && holds(*hint))
        return *hint;
    for (int i = 0; i <= lastIndex; ++i) {
        if (playlist.entries[i].order == target) {
            if (hint)
                *hint = i;
            return i;
        }
    }
    return current;
}

void Advance(PlaybackContext& context, Playlist& playlist, Direction direction,
             const PlaySettings& settings, int origin, bool manual) {
    const int lastIndex = playlist.lastIndex();
    // A start waiting for the engine (a message box's loop may bring us
    // here) is left alone: nothing stops and current does not move.
    if (lastIndex == -1 || context.entryLoading)
        return;
    // Every entry is tried at most once on the way round, plus the origin
    // again; the bound only matters when the order keys are not a permutation.
    const int attemptLimit = lastIndex + 2;
    for (int attempt = 0;; ++attempt) {
        // A player that would not stop keeps its entry: moving current
        // would put the list and the player out of step.
        if (!stopLeaving(context))
            return;
        if (settings.mode != kSingle || manual) {
            const std::optional<int> next =
                nextEntryIndex(playlist, direction, settings.mode, manual);
            if (!next) {
                // Once through: after the last entry the player stays stopped.
                // The last index takes the final key when order and rows agree.
                for (int i = 0; i <= lastIndex; ++i) {
                    if (playlist.entries[i].order == lastIndex) {
                        playlist.current = i;
                        break;
                    }
                }
                context.window.setExecutionState(kExecutionContinuous);
                if (attempt > 0)
                    context.window.requestLayout();
                return;
            }
            playlist.current = *next;
        }
        const int current = playlist.current;
        const PlayResult result =
            PlayEntry(context, copyEntry(playlist, current), current, lastIndex, settings);
        context.window.revealEntry(current, settings.mode == kRandom);

        if (result == PlayResult::Handled) {
            context.window.requestLayout();
            return;
        }
        // Skipped. The search ends at the end of the list in ONE mode and back
        // at the origin otherwise (SINGLE mode included: replaying the same
        // unplayable entry would never end).
        const bool endOfOnePass = settings.mode == kOnePass && current == lastIndex;
        if (endOfOnePass || current == origin || attempt + 1 >= attemptLimit) {
            context.window.setExecutionState(kExecutionContinuous);
            context.window.showMessage(PlaybackMessage::NothingPlayable);
            if (attempt > 0)
                context.window.requestLayout();
            return;
        }
        // Retries always move forward, also after a step backward.
        direction = Direction::Forward;
    }
}

}  // namespace zav2
