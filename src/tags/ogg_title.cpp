// Titles of Ogg Vorbis files: the TITLE comment of the stream's comment
// packet, which is put together from its pages (a cover picture before the
// title spreads it over many). ReplayGain values from the same comments, or
// the R128 gains of an Opus stream's comments where there is no Vorbis one.
#include <algorithm>
#include <optional>

#include "tags/byte_order.h"
#include "tags/readers.h"
#include "tags/vorbis_comments.h"

namespace zav2 {

namespace {

constexpr size_t kPageHeaderLength = 27;
constexpr uint32_t kFirstPageOfStream = 0x02;
// Pages looked at before the comment packet begins: the headers of every
// stream of a file come first, so a well-formed file needs only a few.
constexpr int kPagesBeforeComments = 1024;

struct OggPage {
    uint32_t serial = 0;
    uint32_t type = 0;
    std::string lacing;  // segment lengths
    uint64_t dataStart = 0;
    uint64_t end = 0;
};

std::optional<OggPage> readPage(WindowReader& reader, uint64_t at) {
    // Pages of a long comment packet lie kilobytes apart: read little ahead.
    const std::string_view header = reader.read(at, kPageHeaderLength, kPageHeaderLength + 255);
    if (header.size() < kPageHeaderLength || header.substr(0, 4) != "OggS")
        return std::nullopt;
    OggPage page;
    page.type = byteAt(header, 5);
    page.serial = littleEndian32(header, 14);
    const size_t segments = byteAt(header, 26);
    page.lacing = std::string(reader.read(at + kPageHeaderLength, segments));
    if (page.lacing.size() < segments)
        return std::nullopt;
    page.dataStart = at + kPageHeaderLength + segments;
    page.end = page.dataStart;
    for (const char length : page.lacing)
        page.end += static_cast<unsigned char>(length);
    return page;
}

// The bytes of one packet of one logical stream, from a given segment on.
class PacketStream final : public ByteStream {
  public:
    PacketStream(WindowReader& reader, OggPage page, size_t segment, uint64_t segmentStart)
        : reader_(reader), page_(std::move(page)), segment_(segment), segmentStart_(segmentStart) {}

    std::string read(size_t count) override {
        std::string bytes;
        walk(count, &bytes);
        return bytes;
    }
    bool skip(uint64_t count) override { return walk(count, nullptr) == count; }

  private:
    // Moves `count` bytes on (appending them to `out` when given); returns
    // how many there were before the packet ended.
    uint64_t walk(uint64_t count, std::string* out) {
        uint64_t done = 0;
        while (done < count && !ended_) {
            if (segment_ >= page_.lacing.size()) {
                if (!nextPage())
                    break;
                continue;
            }
            const uint64_t length = static_cast<unsigned char>(page_.lacing[segment_]);
            const uint64_t take = std::min(length - used_, count - done);
            if (out) {
                const std::string_view bytes =
                    reader_.read(segmentStart_ + used_, static_cast<size_t>(take));
                out->append(bytes);
                if (bytes.size() < take) {
                    ended_ = true;  // the file ends inside the page
                    done += bytes.size();
                    break;
                }
            }
            used_ += take;
            done += take;
            finishSegment();
        }
        return done;
    }

    void finishSegment() {
        const uint64_t length = static_cast<unsigned char>(page_.lacing[segment_]);
        if (used_ < length)
            return;
        if (length < 255)
            ended_ = true;  // a short segment ends the packet
        segmentStart_ += length;
        used_ = 0;
        ++segment_;
    }

    bool nextPage() {
        uint64_t at = page_.end;
        for (;;) {
            auto page = readPage(reader_, at);
            if (!page || page->end <= at)
                return false;
            if (page->serial == page_.serial) {
                const uint32_t serial = page_.serial;
                page_ = std::move(*page);
                page_.serial = serial;
                segment_ = 0;
                segmentStart_ = page_.dataStart;
                used_ = 0;
                // An empty final segment ends the packet at once.
                if (!page_.lacing.empty() && page_.lacing[0] == 0)
                    finishSegment();
                return true;
            }
            at = page->end;
        }
    }

    WindowReader& reader_;
    OggPage page_;
    size_t segment_;
    uint64_t segmentStart_;
    uint64_t used_ = 0;
    bool ended_ = false;
};

// The comment packet (the second packet) of the first stream whose first
// packet begins with `signature`.
std::optional<PacketStream> findCommentPacket(WindowReader& reader, std::string_view signature) {
    uint64_t at = 0;
    std::optional<uint32_t> serial;
    int packetsDone = 0;
    for (int pages = 0; pages < kPagesBeforeComments; ++pages) {
        auto page = readPage(reader, at);
        if (!page)
            return std::nullopt;
        if (!serial) {
            if (!(page->type & kFirstPageOfStream))
                return std::nullopt;  // every stream has begun; none is the one
            if (reader.read(page->dataStart, signature.size()) == signature)
                serial = page->serial;
        }
        if (serial && page->serial == *serial) {
            uint64_t segmentStart = page->dataStart;
            for (size_t segment = 0; segment < page->lacing.size(); ++segment) {
                if (packetsDone == 1)
                    return PacketStream(reader, std::move(*page), segment, segmentStart);
                const auto length = static_cast<unsigned char>(page->lacing[segment]);
                segmentStart += length;
                if (length < 255)
                    ++packetsDone;
            }
        }
        at = page->end;
    }
    return std::nullopt;
}

}  // namespace

String readOggTitle(FileReader& file, ReplayGainTags* gain) {
    WindowReader reader(file);
    if (reader.read(0, 4) != "OggS")
        return {};
    if (auto packet = findCommentPacket(reader, std::string_view("\x01vorbis", 7))) {
        if (packet->read(7) != std::string("\x03vorbis", 7))
            return {};
        return findVorbisTitle(*packet, TitleName::UpperCase, true, gain);
    }
    // Opus: gains only, relative to the output gain its decoder applies.
    if (!gain)
        return {};
    auto packet = findCommentPacket(reader, "OpusHead");
    if (packet && packet->read(8) == "OpusTags")
        (void)findVorbisTitle(*packet, TitleName::UpperCase, true, gain, GainNames::OpusR128);
    return {};
}

}  // namespace zav2
