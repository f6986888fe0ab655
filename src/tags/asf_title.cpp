// Titles of ".wma" files: the title of the Content Description Object inside
// the ASF Header Object.
#include <algorithm>

#include "tags/byte_order.h"
#include "tags/readers.h"
#include "tags/tag_text.h"
#include "tags/window_reader.h"

namespace zav2 {

namespace {

constexpr std::string_view kHeaderObject(
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
constexpr std::string_view kContentDescription(
    "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);

constexpr uint64_t kObjectHeaderLength = 24;  // GUID and 64-bit size

}  // namespace

String readAsfTitle(FileReader& file) {
    WindowReader reader(file);
    const std::string_view header = reader.read(0, 30);
    if (header.size() < 30 || header.substr(0, 16) != kHeaderObject)
        return {};
    const uint64_t end = std::min<uint64_t>(littleEndian64(header, 16), file.size());
    const uint32_t objects = littleEndian32(header, 24);
    uint64_t position = 30;
    for (uint32_t i = 0; i < objects; ++i) {
        if (position > end || end - position < kObjectHeaderLength)
            return {};
        const std::string_view object = reader.read(position, 34);
        const uint64_t size = littleEndian64(object, 16);
        if (size < kObjectHeaderLength)
            return {};
        const uint64_t objectEnd = size < end - position ? position + size : end;
        if (object.substr(0, 16) == kContentDescription) {
            // Five 16-bit lengths (title first), then the strings in UTF-16LE.
            if (objectEnd - position < 34)
                return {};
            const uint64_t length =
                std::min<uint64_t>(littleEndian16(object, 24), objectEnd - position - 34);
            return utf16Text(reader.read(position + 34, static_cast<size_t>(length)), false);
        }
        position = objectEnd;
    }
    return {};
}

}  // namespace zav2
