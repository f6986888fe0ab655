// The encoder's delay and padding of an MP3 file, from the LAME extension of
// its Xing/Info frame: what the audio stream trims so that an album's
// tracks join without the silence the encoder added around each one.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zav2 {

// MP3 decoders put this many samples of their own before the encoder's delay.
inline constexpr uint32_t kMp3DecoderDelay = 529;

// Samples per channel, as a decoder gives them from the start of the file:
// the first `skip` are silence to drop, and the `keep` after them are the
// music. `total` is what the file's frames hold, every frame decoded.
struct Mp3Trim {
    uint32_t skip = 0;
    uint64_t keep = 0;
    uint64_t total = 0;
};

// The bytes an ID3v2 tag at the start of a file takes (0 without one), from
// its first ten bytes.
uint32_t id3v2TagBytes(std::string_view header);

// `frame` starts at the file's first MPEG audio frame (after any ID3v2 tag).
// Nothing when that frame carries no Xing/Info header with a frame count and
// an encoder's delay and padding.
std::optional<Mp3Trim> mp3Trim(std::string_view frame);

// What a decoder gives of a whole file: every frame's samples, its own delay
// first (Wine's GStreamer decoder does: the music starts `skip` samples in),
// or the music alone, trimmed by the decoder itself from the same header.
// Windows' MP3 decoder is documented by its formats only, not by its delay
// or by whether it trims, so the stream learns it from the first file it
// decodes whole: `decoded` samples against the header's `trim`. Nothing
// when the count fits neither (a file cut short).
enum class Mp3DecoderOutput { EveryFrame, MusicOnly };
std::optional<Mp3DecoderOutput> mp3DecoderOutput(uint64_t decoded, const Mp3Trim& trim);

}  // namespace zav2
