// Titles and ReplayGain values of FLAC files: the comments of the Vorbis
// comment block.
#include "tags/byte_order.h"
#include "tags/readers.h"
#include "tags/vorbis_comments.h"

namespace zav2 {

String readFlacTitle(FileReader& file, ReplayGainTags* gain) {
    WindowReader reader(file);
    if (!equalsAsciiIgnoreCase(reader.read(0, 4), "fLaC"))
        return {};
    constexpr uint32_t kVorbisComment = 4;
    uint64_t position = 4;
    for (;;) {
        // Block header: last-block bit, seven-bit type, 24-bit body length.
        const std::string_view header = reader.read(position, 4);
        if (header.size() < 4)
            return {};
        const uint32_t type = byteAt(header, 0) & 0x7F;
        const bool last = (byteAt(header, 0) & 0x80) != 0;
        const uint64_t bodyStart = position + 4;
        const uint64_t bodyEnd = bodyStart + bigEndian24(header, 1);
        if (type == kVorbisComment) {
            RangeStream body(reader, bodyStart, bodyEnd < file.size() ? bodyEnd : file.size());
            return findVorbisTitle(body, TitleName::AnyCase, false, gain);
        }
        if (last)
            return {};
        position = bodyEnd;
    }
}

}  // namespace zav2
