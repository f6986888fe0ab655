#include "engine/mp3_gapless.h"

#include <cctype>

#include "tags/byte_order.h"

namespace zav2 {

namespace {

constexpr uint32_t kId3HeaderBytes = 10;
constexpr uint32_t kFooterFlag = 0x10;
constexpr uint32_t kFramesFlag = 0x1;
constexpr uint32_t kBytesFlag = 0x2;
constexpr uint32_t kTocFlag = 0x4;
constexpr uint32_t kQualityFlag = 0x8;
constexpr size_t kTocBytes = 100;
// From the start of the LAME extension: a nine-character encoder name, then
// (after revision, low-pass, replay gain, flags and bit rate) 12 bits of
// delay and 12 of padding.
constexpr size_t kDelayOffset = 21;
constexpr uint32_t kLongestDelay = 4095;

}  // namespace

uint32_t id3v2TagBytes(std::string_view header) {
    if (header.size() < kId3HeaderBytes || header.substr(0, 3) != "ID3")
        return 0;
    const uint32_t footer = (byteAt(header, 5) & kFooterFlag) != 0 ? kId3HeaderBytes : 0;
    return kId3HeaderBytes + syncsafe32(header, 6) + footer;
}

std::optional<Mp3Trim> mp3Trim(std::string_view frame) {
    // Frame sync, and Layer III.
    if (byteAt(frame, 0) != 0xFF || (byteAt(frame, 1) & 0xE0) != 0xE0 ||
        ((byteAt(frame, 1) >> 1) & 0x3) != 1) {
        return std::nullopt;
    }
    const bool mpeg1 = ((byteAt(frame, 1) >> 3) & 0x3) == 3;
    const bool mono = (byteAt(frame, 3) >> 6) == 3;
    // The Xing header follows the frame header and the side information.
    const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    size_t at = 4 + sideInfo;
    const std::string_view tag = fits(frame, at, 8) ? frame.substr(at, 4) : std::string_view{};
    if (tag != "Xing" && tag != "Info")
        return std::nullopt;
    const uint32_t flags = bigEndian32(frame, at + 4);
    at += 8;
    if ((flags & kFramesFlag) == 0)
        return std::nullopt;
    const uint64_t frames = bigEndian32(frame, at);
    at += 4;
    if ((flags & kBytesFlag) != 0)
        at += 4;
    if ((flags & kTocFlag) != 0)
        at += kTocBytes;
    if ((flags & kQualityFlag) != 0)
        at += 4;
    if (!fits(frame, at, kDelayOffset + 3))
        return std::nullopt;
    // An encoder that wrote the extension names itself ("LAME3.100",
    // "Lavc60.31"); anything else there is not one.
    for (size_t i = 0; i < 4; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(frame[at + i])))
            return std::nullopt;
    }
    const uint32_t packed = bigEndian24(frame, at + kDelayOffset);
    const uint32_t delay = packed >> 12;
    const uint32_t padding = packed & 0xFFF;
    const uint64_t samplesPerFrame = mpeg1 ? 1152 : 576;
    const uint64_t total = frames * samplesPerFrame;
    if ((delay == 0 && padding == 0) || delay > kLongestDelay || total <= uint64_t{delay} + padding)
        return std::nullopt;
    return Mp3Trim{delay + kMp3DecoderDelay, total - delay - padding, total};
}

std::optional<Mp3DecoderOutput> mp3DecoderOutput(uint64_t decoded, const Mp3Trim& trim) {
    if (decoded == trim.keep)
        return Mp3DecoderOutput::MusicOnly;
    // Within a frame of the count: a decoder may or may not give the frame
    // that carries the header as one of silence.
    constexpr uint64_t kFrame = 1152;
    if (decoded + kFrame >= trim.total && decoded <= trim.total + kFrame)
        return Mp3DecoderOutput::EveryFrame;
    return std::nullopt;
}

}  // namespace zav2
