// The lyrics and the cover of an ID3v2 tag: whatever is found lies inside the
// bytes, and the picture reads back no longer than it was said to be.
#include "fuzz_support.h"
#include "tags/readers.h"
#include "tags/source_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    using fuzz::check;
    MemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
    const LyricsAndPicture found = readLyricsAndPicture(file);
    check(!found.lyrics || found.lyrics->size() <= size);
    if (found.picture) {
        check(found.picture->start <= size && found.picture->length <= size - found.picture->start);
        const auto bytes = readPictureBytes(file, *found.picture);
        check(bytes && bytes->size() <= found.picture->length);
    }
    return 0;
}
