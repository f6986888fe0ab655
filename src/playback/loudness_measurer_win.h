// Measures the loudness of files without gain tags on a thread of its own,
// ahead of their turn, and keeps what it found in the loudness file. Only
// reads media files, never writes into them. Windows only.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>
#include <vector>

#include "engine/replay_gain.h"
#include "playback/loudness_cache.h"
#include "platform/text.h"

namespace zav2 {

// Decodes the whole of `path` (a full path) and measures it. E_ABORT when
// `cancel` (may be null) became true on the way; a failure too for a file
// the stream cannot open, one whose format changes inside it, or one with
// nothing above the meter's gate (silence).
HRESULT measureLoudness(const String& path, MeasuredLoudness& out, const std::atomic<bool>* cancel);

class LoudnessMeasurer {
  public:
    // Reads the cache file; an empty name keeps the measurements in memory.
    explicit LoudnessMeasurer(String cacheFile);
    // Ends the thread (a measurement under way is given up) and saves.
    ~LoudnessMeasurer();
    LoudnessMeasurer(const LoudnessMeasurer&) = delete;
    LoudnessMeasurer& operator=(const LoudnessMeasurer&) = delete;

    // What was measured of the file as it is now (its size and last write).
    std::optional<MeasuredLoudness> Known(const String& path);
    // Measures the file before any other and waits up to `waitMs` for it.
    // Nothing when it is not done by then: it goes on in the background and
    // is known next time. Nothing at once for a file that failed this run.
    std::optional<MeasuredLoudness> MeasureNow(const String& path, DWORD waitMs);
    // The files to measure in the background, in this order, in place of
    // the ones asked for before. Known files and those that failed this run
    // are passed over.
    void MeasureAhead(const std::vector<String>& paths);
    // Writes the cache file when anything was measured since it was written.
    void Save();

  private:
    struct FileState {
        uint64_t size = 0;
        int64_t modified = 0;
    };
    static std::optional<FileState> StateOf(const String& path);
    void StartThread();
    void Run();
    bool Settled(const String& path, const FileState& state) const;

    const String cacheFile;
    std::mutex saving;  // one writer of the cache file at a time
    mutable std::mutex mutex;
    std::condition_variable wake;      // work for the thread, or its end
    std::condition_variable measured;  // a file is done with
    LoudnessCache cache;
    std::unordered_set<String> failed;
    std::optional<String> urgent;
    std::deque<String> wishes;
    String current;  // being measured; empty between files
    std::atomic<bool> cancelCurrent{false};
    bool quit = false;
    bool changed = false;
    int unsaved = 0;  // results since the last save
    std::thread thread;
};

}  // namespace zav2
