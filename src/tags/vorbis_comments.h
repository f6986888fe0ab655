// Vorbis comments (FLAC metadata block type 4, the Ogg Vorbis comment packet):
// vendor string, comment count, then "NAME=value" comments, each after its
// little-endian 32-bit length.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"
#include "tags/gain_fields.h"
#include "tags/window_reader.h"

namespace zav2 {

// Bytes read in order; the comment walk needs nothing else.
class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // Up to `count` bytes, fewer where the stream ends.
    virtual std::string read(size_t count) = 0;
    // False when the stream ends first.
    virtual bool skip(uint64_t count) = 0;
};

// [start, end) of a file.
class RangeStream final : public ByteStream {
  public:
    RangeStream(WindowReader& reader, uint64_t start, uint64_t end)
        : reader_(reader), position_(start), end_(end) {}
    std::string read(size_t count) override;
    bool skip(uint64_t count) override;

  private:
    WindowReader& reader_;
    uint64_t position_;
    uint64_t end_;
};

enum class TitleName {
    AnyCase,    // FLAC: "title=" is a title too
    UpperCase,  // Ogg: only "TITLE="
};

// The value of the first title comment, decoded as UTF-8; empty when none.
// A comment that runs past the end of the stream ends the walk. With `gain`
// the walk goes on to the end for the gain comments named by `gainNames`.
String findVorbisTitle(ByteStream& stream, TitleName name, bool noCommentsMeansNoTitle,
                       ReplayGainTags* gain = nullptr, GainNames gainNames = GainNames::ReplayGain);

}  // namespace zav2
