// A generated folder of media files for the title benchmark: the six tag
// formats at realistic sizes, written sparse (covers and audio are holes), so
// thousands of multi-megabyte files cost little disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zav2::bench {

struct CorpusFile {
    std::filesystem::path path;
    std::string format;        // "mp3", "flac", ...
    std::u16string title;      // what readTitle must give
    uint64_t size = 0;         // apparent file size
    uint64_t titleOffset = 0;  // bytes in front of the title text
};

// Writes the corpus into `folder` unless it is already there, and lists it.
std::vector<CorpusFile> makeCorpus(const std::filesystem::path& folder, int filesPerFormat);

}  // namespace zav2::bench
