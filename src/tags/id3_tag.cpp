#include "tags/id3_tag.h"

#include <algorithm>

#include "tags/byte_order.h"
#include "tags/source_files.h"

namespace zav2 {

namespace {

constexpr uint8_t kUnsynchronisation = 0x80;
constexpr uint8_t kExtendedHeader = 0x40;

// Frame format flags (second flag byte).
constexpr uint32_t kV3Compressed = 0x0080;
constexpr uint32_t kV3Encrypted = 0x0040;
constexpr uint32_t kV3Grouped = 0x0020;
constexpr uint32_t kV4Grouped = 0x0040;
constexpr uint32_t kV4Compressed = 0x0008;
constexpr uint32_t kV4Encrypted = 0x0004;
constexpr uint32_t kV4Unsynchronised = 0x0002;
constexpr uint32_t kV4DataLength = 0x0001;

size_t headerLength(int version) {
    return version == 3 || version == 4 ? 10 : 6;
}

}  // namespace

std::string resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() &&
            bytes[i + 1] == 0) {
            ++i;
        }
    }
    return out;
}

std::unique_ptr<Id3Tag> Id3Tag::open(FileReader& file) {
    std::unique_ptr<Id3Tag> tag(new Id3Tag(file));
    if (!tag->prepare())
        return nullptr;
    return tag;
}

bool Id3Tag::prepare() {
    reader_ = std::make_unique<WindowReader>(file_);
    const std::string_view header = reader_->read(0, 10);
    if (header.size() < 10 || !equalsAsciiIgnoreCase(header.substr(0, 3), "ID3"))
        return false;
    version_ = static_cast<int>(byteAt(header, 3));
    const uint32_t flags = byteAt(header, 5);
    unsynchronised_ = (flags & kUnsynchronisation) != 0;
    end_ = std::min<uint64_t>(10 + uint64_t{syncsafe32(header, 6)}, file_.size());
    next_ = 10;

    // Versions 2.2 and 2.3 unsynchronise the tag as a whole and size frames
    // before it, so the walk runs over the tag with the inserted bytes taken
    // out. Version 2.4 sizes frames as stored and is walked in place.
    if (unsynchronised_ && version_ != 4) {
        const std::string_view raw = reader_->read(0, static_cast<size_t>(end_));
        std::string clean;
        clean.reserve(raw.size());
        for (size_t i = 0; i < raw.size(); ++i) {
            clean.push_back(raw[i]);
            if (static_cast<unsigned char>(raw[i]) == 0xFF && i + 1 < raw.size() &&
                raw[i + 1] == 0) {
                removedAfter_.push_back(clean.size() - 1);
                ++i;
            }
        }
        end_ = clean.size();
        resynchronised_ = std::make_unique<MemoryFile>(std::move(clean));
        reader_ = std::make_unique<WindowReader>(*resynchronised_);
    }

    if (flags & kExtendedHeader) {
        const std::string_view extended = reader_->read(10, 4);
        if (version_ == 4)
            next_ = 10 + uint64_t{syncsafe32(extended)};
        else if (version_ == 3)
            next_ = 10 + uint64_t{bigEndian32(extended)} + 4;
        else
            done_ = true;  // version 2.2: the tag is compressed, which nothing defines
    }
    return true;
}

std::optional<Id3Frame> Id3Tag::nextFrame(Id3Padding padding) {
    const size_t length = headerLength(version_);
    while (!done_) {
        if (next_ > end_ || end_ - next_ < length) {
            done_ = true;
            break;
        }
        const std::string_view header = reader_->read(next_, length);
        if (header.size() < length) {
            done_ = true;
            break;
        }
        Id3Frame frame;
        frame.start = next_;
        frame.contentStart = next_ + length;
        uint64_t size = 0;
        if (version_ == 4) {
            frame.id = header.substr(0, 4);
            size = syncsafe32(header, 4);
            frame.flags = bigEndian16(header, 8);
        } else if (version_ == 3) {
            frame.id = header.substr(0, 4);
            size = bigEndian32(header, 4);
            frame.flags = bigEndian16(header, 8);
        } else {
            frame.id = header.substr(0, 3);
            size = bigEndian24(header, 3);
        }
        frame.contentLength = std::min<uint64_t>(size, end_ - frame.contentStart);
        next_ = frame.contentStart + size;  // never smaller: a header is at least 6 bytes
        if (frame.id[0] == '\0') {
            if (padding == Id3Padding::EndsAtEmptyId) {
                done_ = true;
                break;
            }
            continue;
        }
        return frame;
    }
    return std::nullopt;
}

Id3Tag::Extras Id3Tag::extrasOf(const Id3Frame& frame) {
    Extras extras;
    if (version_ == 4) {
        extras.readable = !(frame.flags & (kV4Compressed | kV4Encrypted));
        extras.skip = (frame.flags & kV4Grouped ? 1 : 0) + (frame.flags & kV4DataLength ? 4 : 0);
        extras.unsynchronised = unsynchronised_ || (frame.flags & kV4Unsynchronised);
    } else if (version_ == 3) {
        extras.readable = !(frame.flags & (kV3Compressed | kV3Encrypted));
        extras.skip = frame.flags & kV3Grouped ? 1 : 0;
    }
    extras.skip = std::min(extras.skip, frame.contentLength);
    return extras;
}

std::optional<std::string> Id3Tag::content(const Id3Frame& frame, size_t limit) {
    const Extras extras = extrasOf(frame);
    if (!extras.readable)
        return std::nullopt;
    uint64_t length = frame.contentLength - extras.skip;
    if (!extras.unsynchronised) {
        length = std::min<uint64_t>(length, limit);
        return std::string(
            reader_->read(frame.contentStart + extras.skip, static_cast<size_t>(length)));
    }
    // Each stored 0xFF 0x00 pair gives one byte: twice the limit is enough.
    if (limit < SIZE_MAX / 2)
        length = std::min<uint64_t>(length, uint64_t{limit} * 2 + 1);
    std::string clean =
        resynchronise(reader_->read(frame.contentStart + extras.skip, static_cast<size_t>(length)));
    if (clean.size() > limit)
        clean.resize(limit);
    return clean;
}

uint64_t Id3Tag::tagToFile(uint64_t tagOffset) const {
    const auto removedBefore =
        std::lower_bound(removedAfter_.begin(), removedAfter_.end(), tagOffset) -
        removedAfter_.begin();
    return tagOffset + static_cast<uint64_t>(removedBefore);
}

Id3Tag::FileRange Id3Tag::fileRange(const Id3Frame& frame, uint64_t offset) {
    const Extras extras = extrasOf(frame);
    const uint64_t contentStart = frame.contentStart + extras.skip;
    const uint64_t contentEnd = frame.contentStart + frame.contentLength;
    FileRange range;
    if (extras.unsynchronised) {
        // Find the stored position of the offset-th resynchronised byte.
        const uint64_t available = contentEnd - contentStart;
        const std::string_view raw = reader_->read(
            contentStart, static_cast<size_t>(std::min<uint64_t>(available, offset * 2 + 2)));
        uint64_t stored = 0;
        for (uint64_t clean = 0; clean < offset && stored < raw.size(); ++clean) {
            if (static_cast<unsigned char>(raw[static_cast<size_t>(stored)]) == 0xFF &&
                stored + 1 < raw.size() && raw[static_cast<size_t>(stored + 1)] == 0) {
                ++stored;
            }
            ++stored;
        }
        range.start = contentStart + stored;
        range.length = contentEnd - std::min(range.start, contentEnd);
        range.unsynchronised = true;
        return range;
    }
    const uint64_t start = std::min(contentStart + offset, contentEnd);
    if (!resynchronised_) {
        range.start = start;
        range.length = contentEnd - start;
        return range;
    }
    range.start = tagToFile(start);
    range.length = contentEnd > start ? tagToFile(contentEnd - 1) + 1 - range.start : 0;
    range.unsynchronised = true;
    return range;
}

}  // namespace zav2
