// Sorting a long list away from the window: the paths are copied, sorted on a
// worker, and the entries put in the order found on the window's thread in one
// step, so the window answers throughout. An order found for paths the list no
// longer holds (an entry added, removed or moved meanwhile) is never applied.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "playlist/playlist.h"

namespace zav2 {

class BackgroundSort {
  public:
    enum class Outcome {
        Sorted,   // the entries are in order now
        Stale,    // the list changed while it was sorted: nothing was done
        Failed,   // out of memory: nothing was done
        Waiting,  // no order found yet
    };

    BackgroundSort() = default;
    BackgroundSort(const BackgroundSort&) = delete;
    BackgroundSort& operator=(const BackgroundSort&) = delete;
    // Waits for a worker still sorting.
    ~BackgroundSort();

    // Copies the paths and sorts them on a worker, which calls `found` (on the
    // worker) when finish has something to apply. False when a sort is under
    // way already: its result will do, or will tell that it must start again.
    // Without a worker (none could be started) the order is found here and
    // `found` called before returning.
    bool start(const Playlist& playlist, std::function<void()> found);
    bool running() const { return job_ != nullptr; }

    // On the window's thread, after `found`: puts the entries in the order
    // found if they still have the paths it was found for, `current` staying
    // on its entry (as sortPlaylist does). Either way the sort is over.
    Outcome finish(Playlist& playlist);

  private:
    struct Job {
        std::vector<String> paths;
        std::vector<uint32_t> order;  // empty when sorting failed
        std::atomic<bool> done{false};
    };

    std::unique_ptr<Job> job_;
    std::thread worker_;
};

}  // namespace zav2
