#include "playlist/resume_schedule.h"

namespace zav2 {

namespace {

// FNV-1a over the UTF-16 units; strings are ended by their length so that
// moving a unit from one string to the next changes the result.
struct Fnv {
    uint64_t value = 0xcbf29ce484222325ull;
    void add(uint64_t unit) {
        value ^= unit;
        value *= 0x100000001b3ull;
    }
    void add(const String& text) {
        for (Char c : text)
            add(static_cast<uint64_t>(c));
        add(text.size() | (1ull << 63));
    }
};

}  // namespace

uint64_t resumeFingerprint(const Playlist& playlist) {
    Fnv hash;
    hash.add(static_cast<uint64_t>(static_cast<int64_t>(playlist.current)));
    for (const PlaylistEntry& entry : playlist.entries) {
        hash.add(entry.path);
        hash.add(entry.title);
    }
    return hash.value;
}

bool ResumeSchedule::due(const Playlist& playlist, int64_t now) {
    const bool moved = playlist.entries.size() != lookedCount_ ||
                       playlist.current != lookedCurrent_ ||
                       playlist.entries.data() != lookedEntries_;
    if (moved || looks_ % kLooksPerHash == 0) {
        fingerprint_ = resumeFingerprint(playlist);
        lookedCount_ = playlist.entries.size();
        lookedCurrent_ = playlist.current;
        lookedEntries_ = playlist.entries.data();
    }
    ++looks_;
    return due(fingerprint_, now);
}

bool ResumeSchedule::due(uint64_t fingerprint, int64_t now) {
    if (!hasSeen_ || fingerprint != seen_) {
        seen_ = fingerprint;
        seenSince_ = now;
        hasSeen_ = true;
        return false;
    }
    if (hasWritten_ && fingerprint == written_)
        return false;
    return now - seenSince_ >= kQuietMilliseconds;
}

}  // namespace zav2
