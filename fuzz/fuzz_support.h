// What every tag fuzz target does with its input: run one reader over the
// bytes in memory and check what it returns against what the bytes can hold.
// check() is every target's assertion: a failed one is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tags/readers.h"
#include "tags/source_files.h"

namespace zav2::fuzz {

inline void check(bool holds) {
    if (!holds)
        std::abort();
}

inline int title(TitleReader reader, const uint8_t* data, size_t size) {
    MemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
    const String result = reader(file);
    // A title is decoded from the file's bytes: never more units than bytes.
    check(result.size() <= size);
    return 0;
}

inline int lyricsAndPicture(const uint8_t* data, size_t size) {
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

}  // namespace zav2::fuzz
