#include "playlist/resume_schedule.h"

#include <algorithm>

namespace zav2 {

namespace {

// FNV-1a over the UTF-16 units; strings are ended by their length so that
// moving a unit from one string to the next changes the result.
struct Fnv {
    static constexpr uint64_t kStart = 0xcbf29ce484222325ull;
    uint64_t value = kStart;
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

bool QuietChange::due(uint64_t value, int64_t now) {
    if (!hasSeen_ || value != seen_) {
        seen_ = value;
        seenSince_ = now;
        hasSeen_ = true;
        return false;
    }
    if (hasWritten_ && value == written_)
        return false;
    return now - seenSince_ >= kQuietMilliseconds;
}

ResumeSchedule::Due ResumeSchedule::due(const Playlist& playlist, int64_t now) {
    const auto& entries = playlist.entries;
    const bool restarted = entries.size() != passCount_ || entries.data() != passEntries_;
    if (restarted) {
        passNext_ = 0;
        passHash_ = Fnv::kStart;
        passCount_ = entries.size();
        passEntries_ = entries.data();
    }
    Fnv hash{passHash_};
    const size_t end = std::min(entries.size(), passNext_ + kEntriesPerLook);
    for (; passNext_ < end; ++passNext_) {
        hash.add(entries[passNext_].path);
        hash.add(entries[passNext_].title);
    }
    passHash_ = hash.value;
    const bool passEnded = passNext_ == entries.size();
    if (passEnded) {
        hash.add(entries.size());
        listValue_ = hash.value;
        passNext_ = 0;
        passHash_ = Fnv::kStart;
    }
    Fnv keys;
    keys.add(static_cast<uint64_t>(static_cast<int64_t>(playlist.current)));
    if (playlist.current >= 0 && playlist.current <= playlist.lastIndex())
        keys.add(entries[static_cast<size_t>(playlist.current)].path);
    keysValue_ = keys.value;
    // A whole pass's value is looked at only as a pass ends. A pass over a
    // long list takes longer than the quiet time: looked at in between, a
    // value would seem quiet while titles still change behind the pass, and
    // the list would be written after every pass of a title reading.
    const bool listDue = passEnded && list_.due(listValue_, now);
    return {listDue, keys_.due(keysValue_, now)};
}

}  // namespace zav2
