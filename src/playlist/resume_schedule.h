// When to write the resume list while the program runs, so that a crash or a
// killed process loses at most the last few seconds of changes: a short time
// after the list last changed, never during a burst of changes.
#pragma once

#include <cstdint>

#include "playlist/playlist.h"

namespace zav2 {

// The rule on one value (a fingerprint): due once it differs from the value
// last written and has stayed as it is for kQuietMilliseconds.
class QuietChange {
  public:
    static constexpr int64_t kQuietMilliseconds = 2000;

    // `now`: milliseconds, any epoch.
    bool due(uint64_t value, int64_t now);
    // The value is on disk (written now or at start).
    void written(uint64_t value) { written_ = value, hasWritten_ = true; }

  private:
    uint64_t seen_ = 0;
    int64_t seenSince_ = 0;
    bool hasSeen_ = false;
    uint64_t written_ = 0;
    bool hasWritten_ = false;
};

class ResumeSchedule {
  public:
    static constexpr int64_t kQuietMilliseconds = QuietChange::kQuietMilliseconds;
    // A look hashes at most this many entries, so that it costs the same for
    // any length of list: a change that keeps the count (a title read, a
    // move, a sort) is seen within a pass over the list, a look for every
    // kEntriesPerLook entries. A count change begins the pass anew.
    static constexpr size_t kEntriesPerLook = 8192;

    struct Due {
        bool list = false;  // paths or titles changed: the list file
        bool keys = false;  // the current entry changed: the keys beside it
    };

    // One look at the list at time `now`.
    Due due(const Playlist& playlist, int64_t now);
    // What the last look saw is on disk.
    void listWritten() { list_.written(listValue_); }
    void keysWritten() { keys_.written(keysValue_); }

  private:
    QuietChange list_;
    QuietChange keys_;
    uint64_t listValue_ = 0;
    uint64_t keysValue_ = 0;
    // The pass under way: where it goes on, what it has hashed, and the list
    // it began on (a count or a buffer change begins it anew).
    size_t passNext_ = 0;
    uint64_t passHash_ = 0;
    size_t passCount_ = SIZE_MAX;
    const void* passEntries_ = nullptr;
};

}  // namespace zav2
