// One tag reader over the bytes in memory; ZAV2_TITLE_READER names it (each
// title target is this file built with its own reader).
#include <cmath>

#include "fuzz_support.h"
#include "tags/readers.h"
#include "tags/source_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    MemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
    // A title is decoded from the file's bytes: never more units than bytes.
    const String title = ZAV2_TITLE_READER(file, nullptr);
    fuzz::check(title.size() <= size);
    // Walking on for the gain fields never changes the title, and a value
    // taken is a number.
    ReplayGainTags gain;
    fuzz::check(ZAV2_TITLE_READER(file, &gain) == title);
    for (const auto& value : {gain.trackGain, gain.trackPeak, gain.albumGain, gain.albumPeak})
        fuzz::check(!value || std::isfinite(*value));
    return 0;
}
