// When to write the resume list while the program runs, so that a crash or a
// killed process loses at most the last few seconds of changes: a short time
// after the list last changed, never during a burst of changes.
#pragma once

#include <cstdint>

#include "playlist/playlist.h"

namespace zav2 {

// Changes to the paths, titles, their order or the current entry change it.
uint64_t resumeFingerprint(const Playlist& playlist);

class ResumeSchedule {
  public:
    static constexpr int64_t kQuietMilliseconds = 2000;
    // Hashing a long list on every look would cost more than the rest of the
    // idle program: the whole fingerprint is taken when the entry count or the
    // current entry changed, else on every kLooksPerHash-th look only (so a
    // move or a sort is seen a little later).
    static constexpr int kLooksPerHash = 8;

    // One look at the list at time `now`: true when it should be written.
    bool due(const Playlist& playlist, int64_t now);

    // The rule on the fingerprint at time `now` (milliseconds, any epoch);
    // true when the list differs from the last one written and has stayed
    // as it is for kQuietMilliseconds.
    bool due(uint64_t fingerprint, int64_t now);
    // The list with this fingerprint is on disk (written now or at start).
    void written(uint64_t fingerprint) { written_ = fingerprint, hasWritten_ = true; }

  private:
    size_t lookedCount_ = 0;
    int32_t lookedCurrent_ = -2;
    const void* lookedEntries_ = nullptr;
    int looks_ = 0;
    uint64_t fingerprint_ = 0;
    uint64_t seen_ = 0;
    int64_t seenSince_ = 0;
    bool hasSeen_ = false;
    uint64_t written_ = 0;
    bool hasWritten_ = false;
};

}  // namespace zav2
