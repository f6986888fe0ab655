// Shared helpers of the tag reader tests.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "tags/readers.h"
#include "counting_file.h"
#include "tags/source_files.h"

namespace zav2 {

// Failures show the values, not the bytes.
inline void PrintTo(const ReplayGainTags& gain, std::ostream* out) {
    for (const auto& value : {gain.trackGain, gain.trackPeak, gain.albumGain, gain.albumPeak}) {
        if (value)
            *out << *value << ' ';
        else
            *out << "- ";
    }
}

}  // namespace zav2

namespace zav2::test {

// Runs a reader over bytes in memory.
inline String titleOf(TitleReader reader, std::string bytes) {
    MemoryFile file(std::move(bytes));
    return reader(file, nullptr);
}

// Runs a reader over bytes in memory, reading the gain fields too.
inline TitleAndGain titleAndGainOf(TitleReader reader, std::string bytes) {
    MemoryFile file(std::move(bytes));
    TitleAndGain result;
    result.title = reader(file, &result.gain);
    return result;
}

// Runs a reader over bytes in memory and reports how many bytes it read.
inline uint64_t bytesReadBy(TitleReader reader, std::string bytes, String* title = nullptr) {
    MemoryFile file(std::move(bytes));
    CountingFile counting(file);
    const String result = reader(counting, nullptr);
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
