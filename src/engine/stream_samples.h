// How the audio stream places and cuts what a decoder gives: a sample's time
// as a frame, the part of a decoded block that is wanted (from the music's
// start or a seek's target up to the music's end), and integer PCM as float
// for a decoder that will not give float itself.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zav2 {

// Media Foundation's times are in units of 100 ns. A time as the nearest
// frame at `rate`, and back; negative times (a decoder's priming) stay
// negative.
int64_t frameAtTime(int64_t hundredNanoseconds, uint32_t rate);
int64_t timeOfFrame(int64_t frame, uint32_t rate);

// Offsets into a block of `frames` frames whose first frame is `first`: the
// frames of it that lie in [from, to). Empty (begin == end) when none do.
struct FrameRange {
    uint64_t begin = 0;
    uint64_t end = 0;
};
FrameRange framesWithin(int64_t first, uint64_t frames, int64_t from, int64_t to);

// Little-endian integer PCM of 8 (unsigned), 16, 24 or 32 bits a sample as
// float in -1 ... 1, appended to `out`. False, and nothing appended, for
// another width or bytes that are not whole samples.
bool pcmToFloat(std::string_view bytes, uint32_t bitsPerSample, std::vector<float>& out);

}  // namespace zav2
