// Titles read ahead on workers while the window's thread lists, scrolls and
// puts titles on rows: the workers read the pending entries' titles in list
// order into slots, and the window's thread takes each from its slot when it
// comes to the entry. The slot's number travels with the entry
// (PlaylistEntry::titleSlot), so a sort, move, removal or insertion made
// meanwhile never puts a title on another entry.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

class TitleReadAhead {
  public:
    enum class Take {
        Ready,     // a worker's title: no file to read
        Waiting,   // the workers have yet to read it
        NotGiven,  // not given to the workers, or they stopped before: read it here
    };

    TitleReadAhead() = default;
    TitleReadAhead(const TitleReadAhead&) = delete;
    TitleReadAhead& operator=(const TitleReadAhead&) = delete;
    ~TitleReadAhead() { reset(); }

    // Two workers: under Wine a file's open and close are round trips to its
    // server, and a second thread reads while the first waits on it (at
    // 100,000 files two read in 0.8-1.0 of the time one takes; a third adds
    // nothing).
    static constexpr int kWorkers = 2;

    // Gives each pending entry a slot, in list order, and reads their titles
    // with `readTitle` on `workers` threads, which take the slots in turn and
    // call `wake` after a batch and once all have ended. What an earlier
    // start read is dropped: the entries it was for may have had their tags
    // changed since, or be gone. Without a worker (none could be started)
    // every entry is NotGiven.
    void start(Playlist& playlist, TitleFromTags readTitle, std::function<void()> wake,
               int workers = kWorkers);
    // The workers stop after the titles at hand; what they have read stays.
    void stop();
    // Stops the workers and drops what they have read.
    void reset();
    bool started() const { return job_ != nullptr; }
    // While held, the workers wait before their next file: a step of the
    // window's that races it for the cores and the Wine server (an entry's
    // start, which the window waits for) goes first.
    void hold(bool held);

    // For a pending entry: its title, when a worker has read it, moved out
    // into `title`. An entry not read yet is Waiting while the workers run. Ready and NotGiven
    // clear the entry's slot.
    Take take(PlaylistEntry& entry, String& title);
    // The caller reads the entry's title itself, now: the workers skip it.
    // False when a worker is reading that very file: its title comes soon,
    // and reading it here too would read the file twice.
    bool claim(PlaylistEntry& entry);

  private:
    struct Job {
        // The paths one after another in one buffer: a string each cost
        // 60 bytes more an entry, and an allocation each on the window's
        // thread.
        String pathText;
        std::vector<size_t> pathEnds;
        StringView path(size_t slot) const {
            const size_t begin = slot == 0 ? 0 : pathEnds[slot - 1];
            return StringView(pathText).substr(begin, pathEnds[slot] - begin);
        }
        std::vector<String> titles;
        // Who reads each slot's file: nobody yet, a worker, or the window's
        // thread (the workers skip those); then whether a worker's title is
        // in. Each side takes a slot only from nobody, so no file is read
        // twice.
        std::unique_ptr<std::atomic<uint8_t>[]> reader;
        std::atomic<size_t> next{0};  // the next slot a worker takes
        std::atomic<int> running{0};  // workers not ended yet
        std::atomic<bool> stopping{false};
        std::atomic<bool> ended{false};  // every worker
        std::mutex holding;
        std::condition_variable released;
        bool held = false;  // under `holding`
    };

    // Until the job is neither held nor stopping.
    static void waitWhileHeld(Job& job);

    std::unique_ptr<Job> job_;
    std::vector<std::thread> workers_;
};

}  // namespace zav2
