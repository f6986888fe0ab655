// Shared helpers of the tag reader tests.
#pragma once

#include <memory>
#include <string>

#include "tags/readers.h"
#include "counting_file.h"
#include "tags/source_files.h"

namespace zav2::test {

// Runs a reader over bytes in memory.
inline String titleOf(TitleReader reader, std::string bytes) {
    MemoryFile file(std::move(bytes));
    return reader(file);
}

// Runs a reader over bytes in memory and reports how many bytes it read.
inline uint64_t bytesReadBy(TitleReader reader, std::string bytes, String* title = nullptr) {
    MemoryFile file(std::move(bytes));
    CountingFile counting(file);
    const String result = reader(counting);
    if (title)
        *title = result;
    return counting.bytesRead();
}

inline LyricsAndPicture lyricsAndPictureOf(const std::string& bytes) {
    MemoryFile file(bytes);
    return readLyricsAndPicture(file);
}

// The picture's image bytes as an image decoder would get them.
inline std::string pictureBytesOf(const std::string& bytes) {
    MemoryFile file(bytes);
    const LyricsAndPicture found = readLyricsAndPicture(file);
    if (!found.picture)
        return "<none>";
    return readPictureBytes(file, *found.picture).value_or("<unreadable>");
}

}  // namespace zav2::test
