#include "engine/capture_name.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/path.h"

namespace zav2 {

String captureFileName(StringView mediaPath, double positionSeconds) {
    // Whole hundredths; anything beyond a century of playback is not a
    // position the engine reports, but must not overflow the arithmetic.
    double hundredths = std::isfinite(positionSeconds) ? std::floor(positionSeconds * 100) : 0;
    if (hundredths < 0)
        hundredths = 0;
    if (hundredths > 1e15)
        hundredths = 1e15;
    const auto c = static_cast<int64_t>(hundredths);
    char digits[64];
    std::snprintf(digits, sizeof digits, "_%03lld_%02d_%02d.bmp",
                  static_cast<long long>(c / 100 / 60), static_cast<int>((c / 100) % 60),
                  static_cast<int>(c % 100));
    String name = removeExtension(fileName(mediaPath));
    for (const char* d = digits; *d; ++d)
        name.push_back(static_cast<Char>(*d));
    return name;
}

}  // namespace zav2
