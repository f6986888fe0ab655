#include "tags/gain_fields.h"

#include "tags/byte_order.h"

namespace zav2 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Opus stores the gain as a signed Q7.8 integer of dB towards -23 LUFS.
std::optional<double> parseQ78(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > (negative ? 32768 : 32767))
        return std::nullopt;
    constexpr double kReferenceDifference = 5.0;  // -18 LUFS against -23 LUFS
    return (negative ? -value : value) / 256.0 + kReferenceDifference;
}

struct Field {
    std::string_view name;
    std::optional<double> ReplayGainTags::*slot;
    bool isGain;
};

constexpr Field kReplayGainFields[] = {
    {"REPLAYGAIN_TRACK_GAIN", &ReplayGainTags::trackGain, true},
    {"REPLAYGAIN_TRACK_PEAK", &ReplayGainTags::trackPeak, false},
    {"REPLAYGAIN_ALBUM_GAIN", &ReplayGainTags::albumGain, true},
    {"REPLAYGAIN_ALBUM_PEAK", &ReplayGainTags::albumPeak, false},
};
constexpr Field kOpusFields[] = {
    {"R128_TRACK_GAIN", &ReplayGainTags::trackGain, true},
    {"R128_ALBUM_GAIN", &ReplayGainTags::albumGain, true},
};

template <typename Visit>
bool findField(std::string_view name, GainNames names, Visit visit) {
    const auto check = [&](const auto& fields) {
        for (const Field& field : fields) {
            if (equalsAsciiIgnoreCase(name, field.name)) {
                visit(field);
                return true;
            }
        }
        return false;
    };
    return names == GainNames::OpusR128 ? check(kOpusFields) : check(kReplayGainFields);
}

}  // namespace

std::optional<double> parseGainText(std::string_view text, bool unitAllowed) {
    text = trimmed(text);
    if (unitAllowed && text.size() >= 2 &&
        equalsAsciiIgnoreCase(text.substr(text.size() - 2), "dB")) {
        text = trimmed(text.substr(0, text.size() - 2));
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Digits, at most one point, at least one digit; bounded so the value
    // stays exact enough and small.
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    double value = 0;
    double scale = 1;
    bool point = false;
    bool digits = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (isDigit(c)) {
            digits = true;
            if (point)
                scale /= 10;
            value = value * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    value *= scale;
    return negative ? -value : value;
}

bool isGainName(std::string_view name, GainNames names) {
    return findField(name, names, [](const Field&) {});
}

void takeGainField(ReplayGainTags& gain, std::string_view name, std::string_view value,
                   GainNames names) {
    findField(name, names, [&](const Field& field) {
        std::optional<double>& slot = gain.*field.slot;
        if (slot)
            return;  // the first of a kind counts
        if (names == GainNames::OpusR128)
            slot = parseQ78(value);
        else
            slot = parseGainText(value, field.isGain);
    });
}

}  // namespace zav2
