// Opening a folder of 10,000 tagged media files, from the open call until
// the list box holds every row: total seconds, where the time goes, and the
// peak memory the open adds. Natively the list box is in memory; on Windows
// (and under Wine) it is a real list box window.
//
//   zav2_intake_bench [corpus folder] [files]
// The first run writes the sparse corpus; later runs measure a warm cache.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/intake.h"
#include "playlist/pending_titles.h"
#include "memory_list_box.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_order.h"
#include "playlist/resume_schedule.h"
#include "tag_corpus.h"
#include "tags/tags.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

#include "playlist/playlist_win.h"
#endif

namespace zav2::bench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

String toText(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.u16string();
#endif
}

#ifdef _WIN32
// Rows go into a real (hidden) list box, as in the program.
class ListBoxHolder {
  public:
    ListBoxHolder()
        : window_(CreateWindowExW(
              0, L"LISTBOX", L"",
              WS_POPUP | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
              0, 0, 200, 400, nullptr, nullptr, nullptr, nullptr)),
          mirror_(window_, rows_) {}
    ~ListBoxHolder() { DestroyWindow(window_); }
    ListBoxMirror& mirror() { return mirror_; }

  private:
    HWND window_;
    std::vector<String> rows_;
    ListBoxWindow mirror_;
};

// Peak working set since the process started, and now.
struct Memory {
    size_t peak = 0;
    size_t now = 0;
};
Memory memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {counters.PeakWorkingSetSize, counters.WorkingSetSize};
}
void resetPeak() {}
#else
class ListBoxHolder {
  public:
    ListBoxMirror& mirror() { return mirror_; }

  private:
    MemoryListBox mirror_;
};

struct Memory {
    size_t peak = 0;
    size_t now = 0;
};
size_t statusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtoull(line.c_str() + key.size(), nullptr, 10) * 1024;
    }
    return 0;
}
Memory memory() {
    return {statusKilobytes("VmHWM:"), statusKilobytes("VmRSS:")};
}
// Resets the high-water mark so the open's own peak is seen.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
#endif

struct Run {
    double total = 0;
    double scan = 0;  // enumeration, inside openPath (titles come after the rows)
    double rest = 0;  // sort and order, inside openPath
    double rows = 0;  // the list box refill
    size_t entries = 0;
};

class QuietCaption final : public CaptionTarget {
  public:
    String text() const override { return text_; }
    void setText(StringView text) override { text_.assign(text); }

  private:
    String text_ = ZT("Zav2");
};

Run openOnce(const String& firstFile, const String& folder) {
    Run run;
    {
        Playlist playlist;
        String currentFolder;
        ListBoxHolder holder;
        ListBoxMirror& listBox = holder.mirror();
        QuietCaption caption;
        const auto start = Clock::now();
        listBox.reset(0);
        openPath(playlist, currentFolder, firstFile, PathChosenBy::CommandLine, {}, {}, false);
        rebuildListBox(caption, listBox, playlist, false);
        // The titles follow the rows; here all at once.
        finishPendingTitles(caption, listBox, playlist, readTitle, false);
        run.total = secondsSince(start);
        run.entries = static_cast<size_t>(listBox.count());
    }
    // The same steps again one by one, to see where the time goes.
    Playlist playlist;
    auto start = Clock::now();
    scanFolder(playlist, folder, false, {});
    run.scan = secondsSince(start);
    start = Clock::now();
    sortPlaylist(playlist);
    recomputeOrder(playlist, false);
    run.rest = secondsSince(start);
    ListBoxHolder holder;
    QuietCaption caption;
    start = Clock::now();
    rebuildListBox(caption, holder.mirror(), playlist, false);
    run.rows = secondsSince(start);
    return run;
}

}  // namespace
}  // namespace zav2::bench

int main(int argc, char** argv) {
    using namespace zav2;
    using namespace zav2::bench;
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() / "zav2-intake-corpus";
    const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int perFormat = (files + 5) / 6;
    const auto corpusStart = Clock::now();
    // Building the corpus's layouts is slow even when the files are there.
    if (!std::filesystem::exists(folder / ("complete-" + std::to_string(perFormat))))
        makeCorpus(folder, perFormat);
    std::printf("corpus: %s (%.1f s to make or find)\n", folder.string().c_str(),
                secondsSince(corpusStart));
    const String first = toText(folder / "mp3-0.mp3");
    const String folderText = toText(folder);

    // Warm the cache, and time the parts on their own.
    auto start = Clock::now();
    const auto items = listFolder(folderText);
    const double enumerate = secondsSince(start);
    start = Clock::now();
    size_t titled = 0;
    for (const auto& item : items) {
        if (!readTitle(combinePath(folderText, item.name)).empty())
            ++titled;
    }
    const double titles = secondsSince(start);
    // Opening each file without reading: the floor of any title reading.
    start = Clock::now();
    for (const auto& item : items) {
        if (auto file = FileReader::open(combinePath(folderText, item.name)))
            titled += file->size() == 0;
    }
    const double opens = secondsSince(start);

    const Memory before = memory();
    resetPeak();
    const Run run = openOnce(first, folderText);
    const Memory after = memory();

    std::printf("open to filled list box: %.3f s for %zu entries\n", run.total, run.entries);
    std::printf(
        "  step by step: scan (enumeration) %.3f s, sort and order %.3f s, "
        "list box refill %.3f s\n",
        run.scan, run.rest, run.rows);
    std::printf(
        "  alone: enumeration %.3f s, %zu titles read in %.3f s, opening and closing "
        "each file %.3f s\n",
        enumerate, titled, titles, opens);
    const double growth =
        after.peak > before.now ? static_cast<double>(after.peak - before.now) / (1 << 20) : 0.0;
    std::printf("peak memory growth during the open: %.1f MB\n", growth);

    // The resume list's work while the program runs happens on the timer:
    // a look at the list every 250 ms, and a write about 2 s after the list
    // last changed. Before, a look could hash the whole list (every 8th) and
    // every new current entry wrote the whole list, both on the window's
    // thread; now a look hashes a slice, a new current entry writes only its
    // keys, and the window's part of a write is the copy a thread writes.
    // Floor: one walk over the list's text (its length summed).
    Playlist playlist;
    scanFolder(playlist, folderText, false, {});
    sortPlaylist(playlist);
    start = Clock::now();
    size_t units = 0;
    for (const PlaylistEntry& entry : playlist.entries)
        units += entry.path.size() + entry.title.size();
    const double floor = std::max(secondsSince(start), 1e-6);
    ResumeSchedule schedule;
    double longestLook = 0, pass = 0;
    const size_t looksPerPass = (playlist.entries.size() + ResumeSchedule::kEntriesPerLook - 1) /
                                ResumeSchedule::kEntriesPerLook;
    for (size_t i = 0; i < 2 * looksPerPass + 1; ++i) {
        start = Clock::now();
        schedule.due(playlist, static_cast<int64_t>(i) * 250);
        const double look = secondsSince(start);
        longestLook = std::max(longestLook, look);
        if (i >= 1 && i <= looksPerPass)
            pass += look;
    }
    start = Clock::now();
    const Playlist copy = playlist;
    const double snapshot = secondsSince(start);
    const String resume = toText(folder.parent_path() / "zav2-intake-resume.m3u8");
    start = Clock::now();
    const bool written = writeResumeList(resume, copy, false, 0);
    const double write = secondsSince(start);
    std::filesystem::remove(folder.parent_path() / "zav2-intake-resume.m3u8");
    std::printf(
        "resume list of %zu entries (%zu units), floor %.2f ms (one walk):\n"
        "  window held by a look:  before %.2f ms (whole list, x%.1f), after %.2f ms (x%.1f)\n"
        "  window held by a write: before %.1f ms (x%.1f), after %.1f ms (the copy, x%.1f)%s\n",
        playlist.entries.size(), units, floor * 1e3, pass * 1e3, pass / floor, longestLook * 1e3,
        longestLook / floor, write * 1e3, write / floor, snapshot * 1e3, snapshot / floor,
        written ? "" : " FAILED");
    return written ? 0 : 1;
}
