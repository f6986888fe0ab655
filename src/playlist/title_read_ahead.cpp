#include "playlist/title_read_ahead.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace zav2 {

namespace {

// Seldom enough that the wake-ups cost nothing beside the reading: under Wine
// each is a post and the window's looks at its queue, round trips to the
// server that also opens and closes every file for the workers. Every 4 ms
// they made 100,000 titles take 1.37 times the plain reading; every 25 ms,
// 1.20 times. A title the window waits for still comes within two frames.
constexpr auto kWakeEvery = std::chrono::milliseconds(25);

// Job::reader's values.
constexpr uint8_t kNobody = 0;
constexpr uint8_t kWorker = 1;
constexpr uint8_t kWindow = 2;
constexpr uint8_t kRead = 3;  // a worker's title is in its slot

// Takes a slot nobody reads yet for `who`; false when the other has it.
bool takeSlot(std::atomic<uint8_t>& reader, uint8_t who) {
    uint8_t nobody = kNobody;
    return reader.compare_exchange_strong(nobody, who, std::memory_order_relaxed) || nobody == who;
}

}  // namespace

void TitleReadAhead::start(Playlist& playlist, TitleFromTags readTitle, std::function<void()> wake,
                           int workers) {
    reset();
    workers = std::max(workers, 1);
    workers_.reserve(static_cast<size_t>(workers));
    auto job = std::make_unique<Job>();
    size_t length = 0;
    for (const PlaylistEntry& entry : playlist.entries)
        length += entry.titlePending ? entry.path.size() : 0;
    job->pathText.reserve(length);
    for (PlaylistEntry& entry : playlist.entries) {
        entry.titleSlot = -1;
        if (!entry.titlePending)
            continue;
        entry.titleSlot = static_cast<int32_t>(job->pathEnds.size());
        job->pathText += entry.path;
        job->pathEnds.push_back(job->pathText.size());
    }
    const size_t count = job->pathEnds.size();
    if (count == 0)
        return;
    job->titles.resize(count);
    job->reader = std::make_unique<std::atomic<uint8_t>[]>(count);
    Job* const work = job.get();
    job_ = std::move(job);
    work->running.store(workers);
    // The last worker to end says so, once every title read is in.
    const auto end = [work, wake] {
        if (work->running.fetch_sub(1, std::memory_order_acq_rel) != 1)
            return;
        work->ended.store(true, std::memory_order_release);
        if (wake)
            wake();
    };
    const auto readAll = [work, read = std::move(readTitle), wake, end]() noexcept {
        auto lastWake = std::chrono::steady_clock::now();
        const size_t slots = work->pathEnds.size();
        for (;;) {
            waitWhileHeld(*work);
            if (work->stopping.load(std::memory_order_relaxed))
                break;  // stopped while held: not one file more
            const size_t i = work->next.fetch_add(1, std::memory_order_relaxed);
            if (i >= slots)
                break;
            if (takeSlot(work->reader[i], kWorker)) {
                try {
                    work->titles[i] = read(work->path(i));
                } catch (...) {
                    // Out of memory: the window's thread reads the rest.
                    work->reader[i].store(kNobody, std::memory_order_release);
                    break;
                }
                work->reader[i].store(kRead, std::memory_order_release);
            }
            const auto now = std::chrono::steady_clock::now();
            if (now - lastWake >= kWakeEvery && wake) {
                lastWake = now;
                wake();
            }
        }
        end();
    };
    for (int k = 0; k < workers; ++k) {
        try {
            workers_.emplace_back(readAll);
        } catch (const std::system_error&) {
            end();  // for the one that did not start
        }
    }
    if (workers_.empty())
        job_.reset();
}

void TitleReadAhead::waitWhileHeld(Job& job) {
    std::unique_lock<std::mutex> lock(job.holding);
    job.released.wait(lock,
                      [&job] { return !job.held || job.stopping.load(std::memory_order_relaxed); });
}

void TitleReadAhead::hold(bool held) {
    if (!job_)
        return;
    {
        const std::lock_guard<std::mutex> lock(job_->holding);
        job_->held = held;
    }
    job_->released.notify_all();
}

void TitleReadAhead::stop() {
    if (job_) {
        {
            const std::lock_guard<std::mutex> lock(job_->holding);
            job_->stopping.store(true, std::memory_order_relaxed);
        }
        job_->released.notify_all();
    }
    for (std::thread& worker : workers_)
        worker.join();
    workers_.clear();
}

void TitleReadAhead::reset() {
    stop();
    job_.reset();
}

TitleReadAhead::Take TitleReadAhead::take(PlaylistEntry& entry, String& title) {
    const size_t slot = static_cast<size_t>(entry.titleSlot);
    if (!job_ || entry.titleSlot < 0 || slot >= job_->pathEnds.size()) {
        entry.titleSlot = -1;
        return Take::NotGiven;
    }
    // Once ended, no slot's title comes in any more.
    const bool running = !job_->ended.load(std::memory_order_acquire);
    if (job_->reader[slot].load(std::memory_order_acquire) == kRead) {
        entry.titleSlot = -1;
        title = std::move(job_->titles[slot]);
        return Take::Ready;
    }
    if (running)
        return Take::Waiting;
    entry.titleSlot = -1;
    return Take::NotGiven;
}

bool TitleReadAhead::claim(PlaylistEntry& entry) {
    if (job_ && entry.titleSlot >= 0 &&
        static_cast<size_t>(entry.titleSlot) < job_->pathEnds.size() &&
        !takeSlot(job_->reader[static_cast<size_t>(entry.titleSlot)], kWindow))
        return false;
    entry.titleSlot = -1;
    return true;
}

}  // namespace zav2
