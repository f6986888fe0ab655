#include "playlist/title_read_ahead.h"

#include <chrono>
#include <system_error>

namespace zav2 {

namespace {

// Often enough that the window never waits long for a title it looks for,
// seldom enough that the posts cost nothing beside the reading.
constexpr auto kWakeEvery = std::chrono::milliseconds(4);

}  // namespace

void TitleReadAhead::start(Playlist& playlist, TitleFromTags readTitle,
                           std::function<void()> wake) {
    reset();
    auto job = std::make_unique<Job>();
    for (PlaylistEntry& entry : playlist.entries) {
        entry.titleSlot = -1;
        if (!entry.titlePending)
            continue;
        entry.titleSlot = static_cast<int32_t>(job->paths.size());
        job->paths.push_back(entry.path);
    }
    const size_t count = job->paths.size();
    if (count == 0)
        return;
    job->titles.resize(count);
    job->claimed = std::make_unique<std::atomic<bool>[]>(count);
    Job* const work = job.get();
    job_ = std::move(job);
    const auto readAll = [work, read = std::move(readTitle), wake = std::move(wake)]() noexcept {
        auto lastWake = std::chrono::steady_clock::now();
        try {
            const size_t slots = work->paths.size();
            for (size_t i = 0; i < slots && !work->stopping.load(std::memory_order_relaxed); ++i) {
                if (!work->claimed[i].load(std::memory_order_relaxed))
                    work->titles[i] = read(work->paths[i]);
                work->done.store(i + 1, std::memory_order_release);
                const auto now = std::chrono::steady_clock::now();
                if (now - lastWake >= kWakeEvery && wake) {
                    lastWake = now;
                    wake();
                }
            }
        } catch (...) {
            // Out of memory: the window's thread reads the rest.
        }
        work->ended.store(true, std::memory_order_release);
        if (wake)
            wake();
    };
    try {
        worker_ = std::thread(readAll);
    } catch (const std::system_error&) {
        job_.reset();
    }
}

void TitleReadAhead::stop() {
    if (job_)
        job_->stopping.store(true, std::memory_order_relaxed);
    if (worker_.joinable())
        worker_.join();
}

void TitleReadAhead::reset() {
    stop();
    job_.reset();
}

TitleReadAhead::Take TitleReadAhead::take(PlaylistEntry& entry, String& title) {
    const size_t slot = static_cast<size_t>(entry.titleSlot);
    if (!job_ || entry.titleSlot < 0 || slot >= job_->paths.size()) {
        entry.titleSlot = -1;
        return Take::NotGiven;
    }
    // Once ended, `done` moves no more.
    const bool running = !job_->ended.load(std::memory_order_acquire);
    if (slot < job_->done.load(std::memory_order_acquire)) {
        entry.titleSlot = -1;
        title = std::move(job_->titles[slot]);
        return Take::Ready;
    }
    if (running)
        return Take::Waiting;
    entry.titleSlot = -1;
    return Take::NotGiven;
}

void TitleReadAhead::claim(PlaylistEntry& entry) {
    if (job_ && entry.titleSlot >= 0 && static_cast<size_t>(entry.titleSlot) < job_->paths.size())
        job_->claimed[static_cast<size_t>(entry.titleSlot)].store(true, std::memory_order_relaxed);
    entry.titleSlot = -1;
}

}  // namespace zav2
