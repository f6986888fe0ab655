// The play list at 100,000 entries in 2,000 folders: sorting, drawing the play
// order, filtering, and reading and writing an M3U8 list of them. Each
// benchmark reports the time per entry ("per_entry").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/file.h"
#include "platform/path.h"
#include "memory_list_box.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_order.h"

namespace zav2::bench {
namespace {

constexpr int kFolders = 2000;
constexpr int kPerFolder = 50;
constexpr int kEntries = kFolders * kPerFolder;

String text(const std::string& ascii) {
    return String(ascii.begin(), ascii.end());
}

// Paths as a music library has them: artists, discs and numbered tracks, the
// numbers unpadded so the logical order matters, shuffled.
std::vector<String> libraryPaths(StringView root) {
    std::vector<String> paths;
    paths.reserve(kEntries);
    const char* extensions[] = {".mp3", ".flac", ".m4a", ".MP3"};
    for (int folder = 0; folder < kFolders; ++folder) {
        const String dir = combinePath(root, text("Artist " + std::to_string(folder / 10) +
                                                  "/Disc " + std::to_string(folder % 10)));
        for (int track = 0; track < kPerFolder; ++track) {
            paths.push_back(combinePath(
                dir, text("track" + std::to_string(track) + " live" + extensions[track % 4])));
        }
    }
    std::shuffle(paths.begin(), paths.end(), std::mt19937(1));
    return paths;
}

Playlist playlistOf(const std::vector<String>& paths) {
    Playlist playlist;
    playlist.entries.reserve(paths.size());
    for (const String& path : paths)
        appendEntry(playlist, path, {});
    playlist.current = static_cast<int32_t>(paths.size() / 2);
    return playlist;
}

void perEntry(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kEntries);
    state.counters["per_entry"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kEntries,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SortPlaylist(benchmark::State& state) {
    const Playlist unsorted = playlistOf(libraryPaths(ZT("D:\\Music")));
    Playlist playlist;  // replaced while the clock is paused
    for (auto _ : state) {
        state.PauseTiming();
        playlist = unsorted;
        state.ResumeTiming();
        sortPlaylist(playlist);
        benchmark::DoNotOptimize(playlist.entries.data());
    }
    perEntry(state);
}
BENCHMARK(SortPlaylist)->Unit(benchmark::kMillisecond);

// The plain comparator through std::sort, for comparison.
void SortPairwise(benchmark::State& state) {
    const Playlist unsorted = playlistOf(libraryPaths(ZT("D:\\Music")));
    Playlist playlist;  // replaced while the clock is paused
    for (auto _ : state) {
        state.PauseTiming();
        playlist = unsorted;
        state.ResumeTiming();
        std::sort(playlist.entries.begin(), playlist.entries.end(), comparePlaylistEntries);
        benchmark::DoNotOptimize(playlist.entries.data());
    }
    perEntry(state);
}
BENCHMARK(SortPairwise)->Unit(benchmark::kMillisecond);

void RecomputeOrderRandom(benchmark::State& state) {
    Playlist playlist = playlistOf(libraryPaths(ZT("D:\\Music")));
    for (auto _ : state) {
        recomputeOrder(playlist, true);
        benchmark::DoNotOptimize(playlist.entries.data());
    }
    perEntry(state);
}
BENCHMARK(RecomputeOrderRandom)->Unit(benchmark::kMillisecond);

void FilterPlaylist(benchmark::State& state) {
    const Playlist full = playlistOf(libraryPaths(ZT("D:\\Music")));
    MemoryCaption caption;
    Playlist playlist;
    MemoryListBox listBox;
    for (auto _ : state) {
        state.PauseTiming();
        playlist = full;
        rebuildListBox(caption, listBox, playlist, false);
        state.ResumeTiming();
        // Keeps about half: the tracks whose number has a 1 or a 3, no ".MP3".
        filterPlaylist(playlist, listBox, ZT("OR track1 k3 -x live.flac live.m4a"));
        benchmark::DoNotOptimize(playlist.entries.data());
    }
    perEntry(state);
}
BENCHMARK(FilterPlaylist)->Unit(benchmark::kMillisecond);

// Real files, so that reading checks each one exists as it must.
String corpusRoot() {
    namespace fs = std::filesystem;
    const fs::path root = ZAV2_LIST_CORPUS;
    const fs::path done = root / "complete";
    if (!fs::exists(done)) {
        fs::remove_all(root);
        for (const String& path : libraryPaths(utf8ToUtf16(root.string()))) {
            const fs::path file = utf16ToUtf8(path);
            fs::create_directories(file.parent_path());
            std::ofstream{file};
        }
        std::ofstream{done};
    }
    return utf8ToUtf16(root.string());
}

void WritePlaylistFile(benchmark::State& state) {
    const String root = corpusRoot();
    Playlist playlist = playlistOf(libraryPaths(root));
    sortPlaylist(playlist);
    const String target = combinePath(root, ZT("list.m3u8"));
    PlaylistWriteOptions options;
    options.currentFolder = root;
    MemoryCaption caption;
    for (auto _ : state)
        benchmark::DoNotOptimize(savePlaylistFile(caption, target, playlist, options, ZT("Zav2")));
    perEntry(state);
}
BENCHMARK(WritePlaylistFile)->Unit(benchmark::kMillisecond);

void ReadPlaylistFile(benchmark::State& state) {
    const String root = corpusRoot();
    const String list = combinePath(root, ZT("read.m3u8"));
    {
        Playlist playlist = playlistOf(libraryPaths(root));
        PlaylistWriteOptions options;
        options.currentFolder = root;
        MemoryCaption caption;
        savePlaylistFile(caption, list, playlist, options, ZT("Zav2"));
    }
    for (auto _ : state) {
        Playlist playlist;
        int count = 0;
        readPlaylistFile(playlist, list, root, 0, count, nullptr, false);
        if (count != kEntries)
            state.SkipWithError("entries missing");
        benchmark::DoNotOptimize(playlist.entries.data());
    }
    perEntry(state);
}
BENCHMARK(ReadPlaylistFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zav2::bench

BENCHMARK_MAIN();
