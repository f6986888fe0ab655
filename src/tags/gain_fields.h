// ReplayGain fields as the tag formats store them: a name and a short text
// value ("-6.50 dB", "0.988553", Opus's "-1280").
#pragma once

#include <optional>
#include <string_view>

#include "tags/tags.h"

namespace zav2 {

// The longest name and value worth reading: real values are short numbers,
// so a longer field is not a gain and is skipped unread.
constexpr size_t kLongestGainName = 32;
constexpr size_t kLongestGainValue = 32;

enum class GainNames {
    ReplayGain,  // REPLAYGAIN_TRACK_GAIN ... (ID3, Vorbis comments, MP4, ASF)
    OpusR128,    // R128_TRACK_GAIN, R128_ALBUM_GAIN (Opus only)
};

// A decimal number with an optional sign, optionally followed by "dB" in any
// case, blanks around it allowed; nullopt for anything else.
std::optional<double> parseGainText(std::string_view text, bool unitAllowed);

// Stores the value of a gain field (name compared without case) when it is
// the first of its kind and its value parses; other fields are ignored.
void takeGainField(ReplayGainTags& gain, std::string_view name, std::string_view value,
                   GainNames names);

// True when `name` could be a gain field: spares reading the value of any
// other field.
bool isGainName(std::string_view name, GainNames names);

}  // namespace zav2
