#include "engine/stream_samples.h"

#include <algorithm>
#include <cmath>

#include "tags/byte_order.h"

namespace zav2 {

namespace {

constexpr double kUnitsPerSecond = 1e7;

}  // namespace

int64_t frameAtTime(int64_t hundredNanoseconds, uint32_t rate) {
    return std::llround(static_cast<double>(hundredNanoseconds) * rate / kUnitsPerSecond);
}

int64_t timeOfFrame(int64_t frame, uint32_t rate) {
    if (rate == 0)
        return 0;
    return std::llround(static_cast<double>(frame) * kUnitsPerSecond / rate);
}

FrameRange framesWithin(int64_t first, uint64_t frames, int64_t from, int64_t to) {
    const int64_t last = first + static_cast<int64_t>(frames);
    const int64_t begin = std::clamp(from, first, last);
    const int64_t end = std::clamp(to, begin, last);
    return FrameRange{static_cast<uint64_t>(begin - first), static_cast<uint64_t>(end - first)};
}

bool pcmToFloat(std::string_view bytes, uint32_t bitsPerSample, std::vector<float>& out) {
    if (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32)
        return false;
    const size_t width = bitsPerSample / 8;
    if (bytes.size() % width != 0)
        return false;
    const size_t count = bytes.size() / width;
    out.reserve(out.size() + count);
    // Full scale is 2^(bits-1): the most negative value gives exactly -1.
    const double scale = 1.0 / std::ldexp(1.0, static_cast<int>(bitsPerSample) - 1);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = i * width;
        int64_t value = 0;
        if (width == 1) {
            value = static_cast<int64_t>(byteAt(bytes, at)) - 128;
        } else {
            uint32_t raw = 0;
            for (size_t b = 0; b < width; ++b)
                raw |= byteAt(bytes, at + b) << (8 * b);
            // Sign-extend from the sample's top bit.
            const uint32_t sign = 1u << (bitsPerSample - 1);
            value = width == 4 ? static_cast<int32_t>(raw)
                               : static_cast<int64_t>(raw ^ sign) - static_cast<int64_t>(sign);
        }
        out.push_back(static_cast<float>(static_cast<double>(value) * scale));
    }
    return true;
}

}  // namespace zav2
