// Titles of ".wma" files: the title of the Content Description Object inside
// the ASF Header Object; ReplayGain values from the Extended Content
// Description Object beside it.
#include <algorithm>
#include <optional>

#include "tags/byte_order.h"
#include "tags/gain_fields.h"
#include "tags/readers.h"
#include "tags/tag_text.h"
#include "tags/window_reader.h"

namespace zav2 {

namespace {

constexpr std::string_view kHeaderObject(
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
constexpr std::string_view kContentDescription(
    "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);

constexpr std::string_view kExtendedContentDescription(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);

constexpr uint64_t kObjectHeaderLength = 24;  // GUID and 64-bit size

// Descriptors: a 16-bit count, then each a 16-bit name length, the name in
// UTF-16LE, a 16-bit value type (0 is text), a 16-bit value length, the value.
void takeExtendedContent(WindowReader& reader, uint64_t position, uint64_t end,
                         ReplayGainTags& gain) {
    const uint32_t count = littleEndian16(reader.read(position, 2));
    position += 2;
    for (uint32_t i = 0; i < count; ++i) {
        if (position > end || end - position < 2)
            return;
        const uint32_t nameLength = littleEndian16(reader.read(position, 2));
        const uint64_t nameStart = position + 2;
        if (end - nameStart < uint64_t{nameLength} + 4)
            return;
        const std::string_view types = reader.read(nameStart + nameLength, 4);
        const uint32_t valueType = littleEndian16(types, 0);
        const uint32_t valueLength = littleEndian16(types, 2);
        const uint64_t valueStart = nameStart + nameLength + 4;
        if (end - valueStart < valueLength)
            return;
        position = valueStart + valueLength;
        if (valueType != 0 || nameLength > 2 * (kLongestGainName + 1) ||
            valueLength > 2 * (kLongestGainValue + 1)) {
            continue;
        }
        const std::string name = utf16ToUtf8(utf16Text(reader.read(nameStart, nameLength), false));
        if (!isGainName(name, GainNames::ReplayGain))
            continue;
        takeGainField(gain, name,
                      utf16ToUtf8(utf16Text(reader.read(valueStart, valueLength), false)),
                      GainNames::ReplayGain);
    }
}

}  // namespace

String readAsfTitle(FileReader& file, ReplayGainTags* gain) {
    WindowReader reader(file);
    const std::string_view header = reader.read(0, 30);
    if (header.size() < 30 || header.substr(0, 16) != kHeaderObject)
        return {};
    const uint64_t end = std::min<uint64_t>(littleEndian64(header, 16), file.size());
    const uint32_t objects = littleEndian32(header, 24);
    uint64_t position = 30;
    std::optional<String> title;
    for (uint32_t i = 0; i < objects; ++i) {
        if (position > end || end - position < kObjectHeaderLength)
            break;
        const std::string_view object = reader.read(position, 34);
        const uint64_t size = littleEndian64(object, 16);
        if (size < kObjectHeaderLength)
            break;
        const uint64_t objectEnd = size < end - position ? position + size : end;
        const bool extended = object.substr(0, 16) == kExtendedContentDescription;
        if (!title && object.substr(0, 16) == kContentDescription) {
            // Five 16-bit lengths (title first), then the strings in UTF-16LE.
            if (objectEnd - position < 34) {
                title = String();
            } else {
                const uint64_t length =
                    std::min<uint64_t>(littleEndian16(object, 24), objectEnd - position - 34);
                title = utf16Text(reader.read(position + 34, static_cast<size_t>(length)), false);
            }
            if (!gain)
                break;
        } else if (gain && extended) {
            takeExtendedContent(reader, position + kObjectHeaderLength, objectEnd, *gain);
        }
        position = objectEnd;
    }
    return title.value_or(String());
}

}  // namespace zav2
