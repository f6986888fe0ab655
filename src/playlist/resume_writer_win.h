// Writing the resume list while the program runs, on a thread of its own: a
// list of 100,000 entries is megabytes of text, which the window should not
// wait for. The thread writes a copy of the list, so the window goes on
// changing its own.
#pragma once

#include "platform/handles_win.h"
#include "playlist/playlist.h"

namespace zav2 {

class ResumeListWriter {
  public:
    ResumeListWriter() = default;
    ResumeListWriter(const ResumeListWriter&) = delete;
    ResumeListWriter& operator=(const ResumeListWriter&) = delete;
    ~ResumeListWriter() { wait(); }

    // True while a write is still under way.
    bool busy() const;
    // Starts writing `snapshot` as the resume list (writeResumeList). False
    // when a write is still under way or no thread could be made: nothing is
    // written then.
    bool start(String target, Playlist snapshot, bool noExt, int durationSeconds);
    // Until the write under way (if any) has ended: before the list is
    // written at exit, which must come last.
    void wait();

  private:
    UniqueHandle thread_;
};

}  // namespace zav2
