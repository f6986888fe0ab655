#include <algorithm>

#include "tags/vorbis_comments.h"

#include "tags/byte_order.h"
#include "tags/tag_text.h"

namespace zav2 {

std::string RangeStream::read(size_t count) {
    if (position_ >= end_)
        return {};
    if (count > end_ - position_)
        count = static_cast<size_t>(end_ - position_);
    std::string bytes(reader_.read(position_, count));
    position_ += bytes.size();
    return bytes;
}

bool RangeStream::skip(uint64_t count) {
    if (position_ > end_ || count > end_ - position_) {
        position_ = end_;
        return false;
    }
    position_ += count;
    return true;
}

String findVorbisTitle(ByteStream& stream, TitleName name, bool noCommentsMeansNoTitle) {
    const std::string vendorLength = stream.read(4);
    if (vendorLength.size() < 4 || !stream.skip(littleEndian32(vendorLength)))
        return {};
    const std::string count = stream.read(4);
    if (count.size() < 4 || (noCommentsMeansNoTitle && littleEndian32(count) == 0))
        return {};
    constexpr size_t kNameLength = 6;  // "TITLE="
    for (;;) {
        const std::string lengthBytes = stream.read(4);
        if (lengthBytes.size() < 4)
            return {};
        const uint32_t length = littleEndian32(lengthBytes);
        if (length < kNameLength) {
            if (!stream.skip(length))
                return {};
            continue;
        }
        const std::string field = stream.read(kNameLength);
        if (field.size() < kNameLength)
            return {};
        const bool isTitle = name == TitleName::UpperCase ? field == "TITLE="
                                                          : equalsAsciiIgnoreCase(field, "TITLE=");
        if (!isTitle) {
            if (!stream.skip(length - kNameLength))
                return {};
            continue;
        }
        // Read in pieces by the stream, so a false length allocates no more
        // than the file holds.
        const std::string value = stream.read(length - kNameLength);
        if (value.size() < length - kNameLength)
            return {};
        return utf8Text(value);
    }
}

}  // namespace zav2
