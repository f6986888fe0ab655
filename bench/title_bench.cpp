// readTitle over a generated folder of thousands of media files with large
// covers: files per second and bytes read per file, beside a reader that
// loads what the simple design loads (whole files; the whole ID3v2 tag) and
// parses the same bytes.
//
//   zav2_title_bench [--corpus=FOLDER] [--files-per-format=N] [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "tag_corpus.h"
#include "tags/byte_order.h"
#include "tags/readers.h"
#include "counting_file.h"
#include "tags/source_files.h"

namespace zav2::bench {
namespace {

std::vector<CorpusFile> g_corpus;

String pathOf(const CorpusFile& file) {
    return utf8ToUtf16(file.path.string());
}

// Reads the title as readTitle does (or with the gain fields, as
// readTitleAndGain does), counting the bytes read.
template <bool kGain>
String readCounting(const CorpusFile& file, uint64_t& bytesRead) {
    const String path = pathOf(file);
    const auto opened = FileReader::open(path);
    if (!opened)
        return {};
    CountingFile counting(*opened);
    ReplayGainTags gain;
    const String title =
        titleReaderFor(String(path.substr(path.rfind('.'))))(counting, kGain ? &gain : nullptr);
    bytesRead += counting.bytesRead();
    return title;
}

// The simple design: the whole file in memory (for MP3 the whole ID3v2 tag),
// then the same parsers over it.
String readLoadingWhole(const CorpusFile& file, uint64_t& bytesRead) {
    const String path = pathOf(file);
    const auto opened = FileReader::open(path);
    if (!opened)
        return {};
    uint64_t length = opened->size();
    if (file.format == "mp3") {
        const auto header = opened->readExact(0, 10);
        length = header ? 10 + uint64_t{syncsafe32(*header, 6)} : 0;
    } else if (file.format == "rm") {
        length = std::min<uint64_t>(length, 1094);  // fixed windows
    }
    auto bytes = opened->readExact(0, std::min(length, opened->size()));
    if (!bytes)
        return {};
    bytesRead += bytes->size();
    MemoryFile memory(std::move(*bytes));
    return titleReaderFor(String(path.substr(path.rfind('.'))))(memory, nullptr);
}

template <String (*Read)(const CorpusFile&, uint64_t&)>
void titles(benchmark::State& state, const std::string& format) {
    std::vector<const CorpusFile*> files;
    uint64_t front = 0;
    for (const CorpusFile& file : g_corpus) {
        if (format == "all" || file.format == format) {
            files.push_back(&file);
            front += file.titleOffset;
        }
    }
    uint64_t bytesRead = 0;
    size_t next = 0;
    int64_t wrong = 0;
    for (auto _ : state) {
        const CorpusFile& file = *files[next];
        next = next + 1 == files.size() ? 0 : next + 1;
        const String title = Read(file, bytesRead);
        if (std::u16string(title.begin(), title.end()) != file.title)
            ++wrong;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["read/file"] =
        benchmark::Counter(static_cast<double>(bytesRead) / static_cast<double>(state.iterations()),
                           benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
    state.counters["front/file"] =
        benchmark::Counter(static_cast<double>(front) / static_cast<double>(files.size()),
                           benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
    state.counters["wrong"] = static_cast<double>(wrong);
}

void registerAll() {
    for (const char* format : {"all", "mp3", "flac", "ogg", "m4a", "wma", "rm"}) {
        // Wall-clock rates: time spent waiting for reads counts.
        benchmark::RegisterBenchmark((std::string("readTitle/") + format).c_str(),
                                     titles<readCounting<false>>, std::string(format))
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("titleAndGain/") + format).c_str(),
                                     titles<readCounting<true>>, std::string(format))
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("wholeFile/") + format).c_str(),
                                     titles<readLoadingWhole>, std::string(format))
            ->UseRealTime();
    }
}

}  // namespace
}  // namespace zav2::bench

int main(int argc, char** argv) {
    std::string corpus = ZAV2_BENCH_CORPUS;
    int perFormat = 400;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--corpus=", 9) == 0)
            corpus = argv[i] + 9;
        else if (std::strncmp(argv[i], "--files-per-format=", 19) == 0)
            perFormat = std::atoi(argv[i] + 19);
        else
            rest.push_back(argv[i]);
    }
    std::fprintf(stderr, "corpus: %s\n", corpus.c_str());
    zav2::bench::g_corpus = zav2::bench::makeCorpus(corpus, perFormat);
    uint64_t apparent = 0;
    for (const auto& file : zav2::bench::g_corpus)
        apparent += file.size;
    std::fprintf(stderr, "%zu files, %.1f MiB on average\n", zav2::bench::g_corpus.size(),
                 static_cast<double>(apparent) / zav2::bench::g_corpus.size() / (1 << 20));
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    zav2::bench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
