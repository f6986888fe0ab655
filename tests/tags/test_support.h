// Shared helpers of the tag reader tests.
#pragma once

#include <memory>
#include <string>

#include "tags/readers.h"
#include "counting_file.h"
#include "tags/source_files.h"

namespace zav2::test {

// Runs a reader over bytes in memory, reading the gain fields too when given
// where to put them.
inline String titleOf(TitleReader reader, std::string bytes, ReplayGainTags* gain = nullptr) {
    MemoryFile file(std::move(bytes));
    return reader(file, gain);
}

inline ReplayGainTags gainRead(TitleReader reader, std::string bytes) {
    ReplayGainTags gain;
    titleOf(reader, std::move(bytes), &gain);
    return gain;
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
