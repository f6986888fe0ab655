#include <algorithm>
#include <optional>

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

namespace {

bool isTitleField(std::string_view field, TitleName name) {
    return name == TitleName::UpperCase ? field == "TITLE="
                                        : equalsAsciiIgnoreCase(field, "TITLE=");
}

// A short comment read whole: a gain field, or the title.
void takeShortComment(std::string_view comment, TitleName name, std::optional<String>& title,
                      ReplayGainTags& gain, GainNames gainNames) {
    constexpr size_t kNameLength = 6;  // "TITLE="
    if (!title && comment.size() >= kNameLength && isTitleField(comment.substr(0, 6), name)) {
        title = utf8Text(comment.substr(kNameLength));
        return;
    }
    const size_t equals = comment.find('=');
    if (equals != std::string_view::npos)
        takeGainField(gain, comment.substr(0, equals), comment.substr(equals + 1), gainNames);
}

}  // namespace

String findVorbisTitle(ByteStream& stream, TitleName name, bool noCommentsMeansNoTitle,
                       ReplayGainTags* gain, GainNames gainNames) {
    const std::string vendorLength = stream.read(4);
    if (vendorLength.size() < 4 || !stream.skip(littleEndian32(vendorLength)))
        return {};
    const std::string count = stream.read(4);
    if (count.size() < 4 || (noCommentsMeansNoTitle && littleEndian32(count) == 0))
        return {};
    constexpr size_t kNameLength = 6;  // "TITLE="
    constexpr size_t kLongestGainComment = kLongestGainName + 1 + kLongestGainValue;
    std::optional<String> title;
    for (;;) {
        const std::string lengthBytes = stream.read(4);
        if (lengthBytes.size() < 4)
            break;
        const uint32_t length = littleEndian32(lengthBytes);
        if (gain && length <= kLongestGainComment) {
            const std::string comment = stream.read(length);
            if (comment.size() < length)
                break;
            takeShortComment(comment, name, title, *gain, gainNames);
            continue;
        }
        if (title || length < kNameLength) {
            if (!stream.skip(length))
                break;
            continue;
        }
        const std::string field = stream.read(kNameLength);
        if (field.size() < kNameLength)
            break;
        if (!isTitleField(field, name)) {
            if (!stream.skip(length - kNameLength))
                break;
            continue;
        }
        // Read in pieces by the stream, so a false length allocates no more
        // than the file holds.
        const std::string value = stream.read(length - kNameLength);
        if (value.size() < length - kNameLength)
            break;
        title = utf8Text(value);
        if (!gain)
            break;
    }
    return title.value_or(String());
}

}  // namespace zav2
