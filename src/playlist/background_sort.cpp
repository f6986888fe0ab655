#include "playlist/background_sort.h"

#include <system_error>

#include "playlist/playlist_order.h"

namespace zav2 {

namespace {

// Nothing may leave a worker: running out of memory leaves the order empty.
void findOrder(std::vector<String>& paths, std::vector<uint32_t>& order) {
    try {
        const std::vector<StringView> views(paths.begin(), paths.end());
        order = sortedOrder(views);
    } catch (...) {
        order.clear();
    }
}

}  // namespace

BackgroundSort::~BackgroundSort() {
    if (worker_.joinable())
        worker_.join();
}

bool BackgroundSort::start(const Playlist& playlist, std::function<void()> found) {
    if (job_)
        return false;
    auto job = std::make_unique<Job>();
    job->paths.reserve(playlist.entries.size());
    for (const PlaylistEntry& entry : playlist.entries)
        job->paths.push_back(entry.path);
    Job* const work = job.get();
    job_ = std::move(job);
    const auto sortAndTell = [work, found = std::move(found)]() noexcept {
        findOrder(work->paths, work->order);
        work->done.store(true, std::memory_order_release);
        if (found)
            found();
    };
    try {
        worker_ = std::thread(sortAndTell);
    } catch (const std::system_error&) {
        sortAndTell();
    }
    return true;
}

BackgroundSort::Outcome BackgroundSort::finish(Playlist& playlist) {
    if (!job_ || !job_->done.load(std::memory_order_acquire))
        return Outcome::Waiting;
    if (worker_.joinable())
        worker_.join();
    const std::unique_ptr<Job> job = std::move(job_);
    if (job->order.size() != job->paths.size())
        return Outcome::Failed;
    if (playlist.entries.size() != job->paths.size())
        return Outcome::Stale;
    for (size_t i = 0; i < job->paths.size(); ++i) {
        if (playlist.entries[i].path != job->paths[i])
            return Outcome::Stale;
    }
    applyOrder(playlist, job->order);
    return Outcome::Sorted;
}

}  // namespace zav2
