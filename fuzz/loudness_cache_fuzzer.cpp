// The loudness file read back: whatever it holds, what is read is at most
// the kept number of files, each a path and values the file can hold, found
// for its own size and time, and writing them gives a file that reads back
// as the same measurements.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "platform/path.h"
#include "playback/loudness_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<LoudnessCache> cache = parseLoudnessFile(bytes);
    if (!cache)
        return 0;
    fuzz::check(cache->entries().size() <= kKeptLoudnesses);
    for (const KeptLoudness& entry : cache->entries()) {
        fuzz::check(!entry.path.empty() && entry.path.size() <= kMaxPath);
        fuzz::check(std::isfinite(entry.loudness.lufs) && entry.loudness.peak > 0 &&
                    entry.loudness.peak <= kLargestKeptPeak);
        const std::optional<MeasuredLoudness> found =
            cache->find(entry.path, entry.size, entry.modified);
        fuzz::check(found && found->lufs == entry.loudness.lufs);
    }
    fuzz::check(parseLoudnessFile(formatLoudnessFile(*cache)) == cache);
    return 0;
}
