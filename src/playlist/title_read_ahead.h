// Titles read ahead on a worker while the window's thread lists, scrolls and
// puts titles on rows: the worker reads the pending entries' titles in list
// order into slots, and the window's thread takes each from its slot when it
// comes to the entry. The slot's number travels with the entry
// (PlaylistEntry::titleSlot), so a sort, move, removal or insertion made
// meanwhile never puts a title on another entry.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

class TitleReadAhead {
  public:
    enum class Take {
        Ready,     // the title is the worker's: no file to read
        Waiting,   // the worker has yet to read it
        NotGiven,  // not given to the worker, or it stopped before: read it here
    };

    TitleReadAhead() = default;
    TitleReadAhead(const TitleReadAhead&) = delete;
    TitleReadAhead& operator=(const TitleReadAhead&) = delete;
    ~TitleReadAhead() { reset(); }

    // Gives each pending entry a slot, in list order, and reads their titles
    // with `readTitle` on a worker, which calls `wake` after a batch and at
    // the end. What an earlier start read is dropped: the entries it was for
    // may have had their tags changed since, or be gone. Without a worker
    // (none could be started) every entry is NotGiven.
    void start(Playlist& playlist, TitleFromTags readTitle, std::function<void()> wake);
    // The worker stops after the title at hand; what it has read stays.
    void stop();
    // Stops the worker and drops what it has read.
    void reset();
    bool started() const { return job_ != nullptr; }

    // For a pending entry: its title, when the worker has read it, moved out
    // into `title`. An entry it was not given yet is Waiting while the worker
    // runs. Ready and NotGiven clear the entry's slot.
    Take take(PlaylistEntry& entry, String& title);
    // The caller reads the entry's title itself, now: the worker skips it.
    void claim(PlaylistEntry& entry);

  private:
    struct Job {
        std::vector<String> paths;
        std::vector<String> titles;
        // Slots the window's thread reads itself: the worker skips them.
        std::unique_ptr<std::atomic<bool>[]> claimed;
        std::atomic<size_t> done{0};  // slots before this one are read
        std::atomic<bool> stopping{false};
        std::atomic<bool> ended{false};
    };

    std::unique_ptr<Job> job_;
    std::thread worker_;
};

}  // namespace zav2
