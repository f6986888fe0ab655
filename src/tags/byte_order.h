// Fixed-size numbers as tag formats store them. Each reads at `at` in `bytes`
// and gives 0 when the bytes are too short, so a missed length check can cost
// a title but never a read outside the buffer.
#pragma once

#include <cstdint>
#include <string_view>

namespace zav2 {

inline bool fits(std::string_view bytes, size_t at, size_t count) {
    return at <= bytes.size() && count <= bytes.size() - at;
}

inline uint32_t byteAt(std::string_view bytes, size_t at) {
    return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u;
}

inline uint32_t bigEndian16(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 2))
        return 0;
    return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1);
}

inline uint32_t bigEndian24(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 3))
        return 0;
    return byteAt(bytes, at) << 16 | byteAt(bytes, at + 1) << 8 | byteAt(bytes, at + 2);
}

inline uint32_t bigEndian32(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 4))
        return 0;
    return byteAt(bytes, at) << 24 | byteAt(bytes, at + 1) << 16 | byteAt(bytes, at + 2) << 8 |
           byteAt(bytes, at + 3);
}

inline uint64_t bigEndian64(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 8))
        return 0;
    return static_cast<uint64_t>(bigEndian32(bytes, at)) << 32 | bigEndian32(bytes, at + 4);
}

// ID3v2 sizes: only the low seven bits of each byte count.
inline uint32_t syncsafe32(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 4))
        return 0;
    return (byteAt(bytes, at) & 0x7F) << 21 | (byteAt(bytes, at + 1) & 0x7F) << 14 |
           (byteAt(bytes, at + 2) & 0x7F) << 7 | (byteAt(bytes, at + 3) & 0x7F);
}

inline uint32_t littleEndian16(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 2))
        return 0;
    return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8;
}

inline uint32_t littleEndian32(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 4))
        return 0;
    return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8 | byteAt(bytes, at + 2) << 16 |
           byteAt(bytes, at + 3) << 24;
}

inline uint64_t littleEndian64(std::string_view bytes, size_t at = 0) {
    if (!fits(bytes, at, 8))
        return 0;
    return littleEndian32(bytes, at) | static_cast<uint64_t>(littleEndian32(bytes, at + 4)) << 32;
}

// ASCII-only case folding for four-character codes and signatures.
inline bool equalsAsciiIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace zav2
