// The places file read back: whatever it holds, what is read is at most the
// kept number of places, each a path the file can hold, and writing them
// gives a file that reads back as the same places.
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "platform/path.h"
#include "playback/resume_places.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<KeptPlaces> places = parsePlacesFile(bytes);
    if (!places)
        return 0;
    fuzz::check(places->places().size() <= kKeptPlaces);
    for (const KeptPlace& place : places->places()) {
        fuzz::check(!place.path.empty() && place.path.size() <= kMaxPath);
        fuzz::check(places->find(place.path) == place.seconds);
    }
    fuzz::check(parsePlacesFile(formatPlacesFile(*places)) == places);
    return 0;
}
