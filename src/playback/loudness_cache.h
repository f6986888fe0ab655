// The loudness measured of files without gain tags, kept between runs so a
// file is decoded for it once: each with the file's size and modification
// time, so a file changed since is measured anew. The cache lives in a file
// beside the program, shared by every instance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/replay_gain.h"
#include "platform/text.h"

namespace zav2 {

// The most recently measured files kept; older ones are let go.
inline constexpr size_t kKeptLoudnesses = 5000;

// The values the file holds: a measurement outside them is not one of a
// real file (the meter's gate lies at -70 LUFS; decoded float samples may
// exceed full scale, but not by 36 dB).
inline constexpr double kQuietestKeptLufs = -100.0;
inline constexpr double kLoudestKeptLufs = 20.0;
inline constexpr double kLargestKeptPeak = 64.0;

struct KeptLoudness {
    String path;
    uint64_t size = 0;
    int64_t modified = 0;  // last write, in 100 ns ticks as Windows gives it
    MeasuredLoudness loudness;
};

// Keyed by full path, the most recently measured first.
class LoudnessCache {
  public:
    LoudnessCache() = default;
    LoudnessCache(const LoudnessCache& other);
    LoudnessCache& operator=(const LoudnessCache& other);
    LoudnessCache(LoudnessCache&&) = default;
    LoudnessCache& operator=(LoudnessCache&&) = default;

    // The measurement of `path` when it was made of the file as it is now.
    std::optional<MeasuredLoudness> find(StringView path, uint64_t size, int64_t modified) const;
    // Puts the measurement first; the oldest beyond kKeptLoudnesses go.
    // False, and nothing kept, for a path the file cannot hold (empty, too
    // long, with control characters) or values outside its ranges.
    bool keep(StringView path, uint64_t size, int64_t modified, MeasuredLoudness loudness);
    const std::list<KeptLoudness>& entries() const { return entries_; }
    bool operator==(const LoudnessCache& other) const;

  private:
    void reindex();

    // A list, with an index by path into it, so that keeping and finding
    // take the same short time with thousands of files kept.
    std::list<KeptLoudness> entries_;
    std::unordered_map<StringView, std::list<KeptLoudness>::iterator> index_;
};

// The file, in the form of the places file: a first line "Zav2 loudness",
// then one line per file: size, modified, LUFS, peak and the path, split by
// tabs. The numbers are written in the shortest form that reads back to the
// same value.
std::string formatLoudnessFile(const LoudnessCache& cache);
// Nothing when the bytes are not such a file; the caller then starts anew.
std::optional<LoudnessCache> parseLoudnessFile(std::string_view bytes);

// Beside the program, named after it: D:\Tools\Zav2.exe keeps them in
// D:\Tools\Zav2.loudness.
String loudnessFilePath(StringView programPath);

// The cache in the file; empty when it is missing or damaged.
LoudnessCache readLoudnessFile(StringView filePath);

}  // namespace zav2
