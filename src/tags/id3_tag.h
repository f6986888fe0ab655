// An ID3v2 tag at the start of a file, walked frame by frame without loading
// it: the header, the extended-header skip, frame headers of versions 2.2, 2.3
// and 2.4, and the content of the frames a reader asks for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "tags/window_reader.h"

namespace zav2 {

struct Id3Frame {
    std::string id;              // three characters in version 2.2 tags, four otherwise
    uint64_t start = 0;          // of the header, in tag coordinates
    uint64_t contentStart = 0;   // in tag coordinates
    uint64_t contentLength = 0;  // clamped to the tag
    uint32_t flags = 0;          // the two flag bytes of versions 2.3 and 2.4
};

// What ends a frame walk besides the end of the tag.
enum class Id3Padding {
    // A frame whose ID begins with a NUL byte.
    EndsAtEmptyId,
    // Nothing: frames with an empty ID, padding included, are walked over
    // until no further frame header fits in the tag.
    WalksOverEmptyIds,
};

class Id3Tag {
  public:
    // nullptr unless the file begins with "ID3" (any case).
    static std::unique_ptr<Id3Tag> open(FileReader& file);
    Id3Tag(const Id3Tag&) = delete;
    Id3Tag& operator=(const Id3Tag&) = delete;

    int version() const { return version_; }

    // The next frame, or nullopt at the end of the walk.
    std::optional<Id3Frame> nextFrame(Id3Padding padding);

    // The frame's content without the bytes unsynchronisation inserted and the
    // extra bytes its flags announce; nullopt when it is compressed or
    // encrypted. At most `limit` bytes of content are read.
    std::optional<std::string> content(const Id3Frame& frame, size_t limit = SIZE_MAX);

    // Where the bytes [offset, end of frame) of content(frame) lie in the file,
    // and whether reading them back needs unsynchronisation undone.
    struct FileRange {
        uint64_t start = 0;
        uint64_t length = 0;
        bool unsynchronised = false;
    };
    FileRange fileRange(const Id3Frame& frame, uint64_t offset);

  private:
    explicit Id3Tag(FileReader& file) : file_(file) {}
    bool prepare();
    struct Extras {
        uint64_t skip = 0;
        bool unsynchronised = false;
        bool readable = true;
    };
    Extras extrasOf(const Id3Frame& frame);
    uint64_t tagToFile(uint64_t tagOffset) const;

    FileReader& file_;
    std::unique_ptr<FileReader> resynchronised_;
    std::unique_ptr<WindowReader> reader_;
    // Tag offsets of the 0xFF bytes whose following 0x00 was removed when a
    // version 2.2/2.3 tag was resynchronised as a whole.
    std::vector<uint64_t> removedAfter_;
    int version_ = 0;
    bool unsynchronised_ = false;
    uint64_t end_ = 0;
    uint64_t next_ = 0;
    bool done_ = false;
};

// Undoes unsynchronisation: every 0x00 that follows 0xFF is dropped.
std::string resynchronise(std::string_view bytes);

}  // namespace zav2
