#include "playlist/resume_writer_win.h"

#include <memory>

#include "playlist/playlist_file.h"

namespace zav2 {

namespace {

struct ResumeWrite {
    String target;
    Playlist snapshot;
    bool noExt = false;
    int durationSeconds = 0;
};

DWORD WINAPI writeResumeListThread(void* parameter) {
    const std::unique_ptr<ResumeWrite> work(static_cast<ResumeWrite*>(parameter));
    // A failure waits for the next change, as before; the exit writes the
    // list once more anyway.
    writeResumeList(work->target, work->snapshot, work->noExt, work->durationSeconds);
    return 0;
}

}  // namespace

bool ResumeListWriter::busy() const {
    return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

bool ResumeListWriter::start(String target, Playlist snapshot, bool noExt, int durationSeconds) {
    if (busy())
        return false;
    auto work = std::make_unique<ResumeWrite>(
        ResumeWrite{std::move(target), std::move(snapshot), noExt, durationSeconds});
    thread_.reset(CreateThread(nullptr, 0, writeResumeListThread, work.get(), 0, nullptr));
    if (!thread_)
        return false;
    work.release();  // the thread owns it now
    return true;
}

void ResumeListWriter::wait() {
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

}  // namespace zav2
