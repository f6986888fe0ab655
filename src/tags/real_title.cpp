// Titles of RealAudio (".ra") and RealMedia (".rm") files.
#include <algorithm>

#include "tags/byte_order.h"
#include "tags/readers.h"
#include "tags/tag_text.h"
#include "tags/window_reader.h"

namespace zav2 {

namespace {

// RealAudio: the title's length byte and text sit at fixed places of the
// version 4 header; other versions have other layouts and give no title.
String realAudioTitle(WindowReader& reader, std::string_view start) {
    if (bigEndian16(start, 4) != 4)
        return {};
    const std::string_view length = reader.read(69, 1);
    if (length.empty())
        return {};
    return ansiText(reader.read(70, byteAt(length, 0)));
}

// RealMedia: chunks after the file header; the "CONT" chunk holds the title.
String realMediaTitle(WindowReader& reader, std::string_view fileHeader) {
    if (fileHeader.size() < 18)
        return {};
    const uint32_t headers = bigEndian32(fileHeader, 14);
    uint64_t position = bigEndian32(fileHeader, 4);
    constexpr uint64_t kChunkHeaderLength = 10;  // ID, size, version
    for (uint32_t visited = 0; visited + 1 < headers; ++visited) {
        const std::string_view chunk = reader.read(position, 12);
        if (chunk.size() < kChunkHeaderLength)
            return {};
        const uint64_t size = bigEndian32(chunk, 4);
        if (chunk.substr(0, 4) == "CONT") {
            if (chunk.size() < 12)
                return {};
            uint64_t length = bigEndian16(chunk, 10);
            if (size >= 12 && length > size - 12)
                length = size - 12;
            return ansiText(reader.read(position + 12, static_cast<size_t>(length)));
        }
        if (size < kChunkHeaderLength)
            return {};
        position += size;
    }
    return {};
}

}  // namespace

String readRealTitle(FileReader& file, ReplayGainTags*) {
    WindowReader reader(file);
    const std::string start(reader.read(0, 18));
    if (start.size() >= 4 && start.compare(0, 4, ".ra\xFD") == 0)
        return realAudioTitle(reader, start);
    if (start.size() >= 4 && start.compare(0, 4, ".RMF") == 0)
        return realMediaTitle(reader, start);
    return {};
}

}  // namespace zav2
