#include "arguments.h"

#include <algorithm>
#include <limits>

namespace zav2::driver {
namespace {

struct Named {
    const char* name;
    unsigned value;
};

// Keys the tests press: the accelerator keys and the media keys.
constexpr Named kKeys[] = {
    {"BACK", 0x08},
    {"TAB", 0x09},
    {"RETURN", 0x0D},
    {"ENTER", 0x0D},
    {"SHIFT", 0x10},
    {"CONTROL", 0x11},
    {"MENU", 0x12},
    {"PAUSE", 0x13},
    {"ESCAPE", 0x1B},
    {"SPACE", 0x20},
    {"PRIOR", 0x21},
    {"NEXT", 0x22},
    {"END", 0x23},
    {"HOME", 0x24},
    {"LEFT", 0x25},
    {"UP", 0x26},
    {"RIGHT", 0x27},
    {"DOWN", 0x28},
    {"INSERT", 0x2D},
    {"DELETE", 0x2E},
    {"MULTIPLY", 0x6A},
    {"ADD", 0x6B},
    {"SUBTRACT", 0x6D},
    {"DECIMAL", 0x6E},
    {"VOLUME_MUTE", 0xAD},
    {"VOLUME_DOWN", 0xAE},
    {"VOLUME_UP", 0xAF},
    {"MEDIA_NEXT_TRACK", 0xB0},
    {"MEDIA_PREV_TRACK", 0xB1},
    {"MEDIA_STOP", 0xB2},
    {"MEDIA_PLAY_PAUSE", 0xB3},
};

constexpr Named kMessages[] = {
    {"WM_NULL", 0x0000},       {"WM_DESTROY", 0x0002},       {"WM_SIZE", 0x0005},
    {"WM_SETFOCUS", 0x0007},   {"WM_CLOSE", 0x0010},         {"WM_CONTEXTMENU", 0x007B},
    {"WM_KEYDOWN", 0x0100},    {"WM_KEYUP", 0x0101},         {"WM_CHAR", 0x0102},
    {"WM_COMMAND", 0x0111},    {"WM_SYSCOMMAND", 0x0112},    {"WM_TIMER", 0x0113},
    {"WM_HSCROLL", 0x0114},    {"WM_MOUSEMOVE", 0x0200},     {"WM_LBUTTONDOWN", 0x0201},
    {"WM_LBUTTONUP", 0x0202},  {"WM_LBUTTONDBLCLK", 0x0203}, {"WM_RBUTTONUP", 0x0205},
    {"WM_MOUSEWHEEL", 0x020A}, {"WM_DROPFILES", 0x0233},     {"WM_HOTKEY", 0x0312},
    {"WM_USER", 0x0400},       {"WM_APP", 0x8000},
};

String upper(StringView text) {
    String result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](Char c) { return toUpper(c); });
    return result;
}

bool equalsAscii(StringView text, const char* ascii) {
    size_t i = 0;
    for (; ascii[i] != '\0'; ++i) {
        if (i >= text.size() || text[i] != static_cast<Char>(ascii[i])) {
            return false;
        }
    }
    return i == text.size();
}

std::optional<unsigned> lookUp(StringView name, const Named* begin, const Named* end) {
    for (const Named* entry = begin; entry != end; ++entry) {
        if (equalsAscii(name, entry->name)) {
            return entry->value;
        }
    }
    return std::nullopt;
}

bool startsWith(StringView text, StringView prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<String> Arguments::option(StringView name) const {
    auto found = options.find(String(name));
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

Arguments parseArguments(const std::vector<String>& words,
                         const std::vector<StringView>& valueOptions) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const String& word = words[i];
        if (!optionsEnded && word == ZT("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && word.size() > 2 && startsWith(word, ZT("--"))) {
            String name = word.substr(2);
            bool takesValue = std::find(valueOptions.begin(), valueOptions.end(),
                                        StringView(name)) != valueOptions.end();
            if (!takesValue) {
                parsed.flags.insert(name);
            } else if (i + 1 < words.size()) {
                parsed.options[name] = words[++i];
            } else {
                parsed.error = ZT("option ") + word + ZT(" needs a value");
                return parsed;
            }
            continue;
        }
        if (parsed.command.empty()) {
            parsed.command = word;
        } else {
            parsed.positional.push_back(word);
        }
    }
    if (parsed.command.empty()) {
        parsed.error = ZT("no subcommand given");
    }
    return parsed;
}

std::optional<long long> parseInteger(StringView text) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
                 : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (Char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (value > (limit - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    if (negative) {
        // Two's complement negation of the magnitude, which may be 2^63.
        return static_cast<long long>(~value + 1);
    }
    return static_cast<long long>(value);
}

std::optional<int> parseVirtualKey(StringView text) {
    if (text.empty()) {
        return std::nullopt;
    }
    String name = upper(text);
    if (name.size() == 1 &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
        return static_cast<int>(name[0]);
    }
    if (auto number = parseInteger(name)) {
        if (*number < 1 || *number > 254) {
            return std::nullopt;
        }
        return static_cast<int>(*number);
    }
    StringView bare(name);
    if (startsWith(bare, ZT("VK_"))) {
        bare.remove_prefix(3);
    }
    if (auto named = lookUp(bare, std::begin(kKeys), std::end(kKeys))) {
        return static_cast<int>(*named);
    }
    if (bare.size() == 7 && startsWith(bare, ZT("NUMPAD")) && bare[6] >= '0' && bare[6] <= '9') {
        return 0x60 + (bare[6] - '0');
    }
    if (bare.size() >= 2 && bare[0] == 'F') {
        auto number = parseInteger(bare.substr(1));
        if (number && *number >= 1 && *number <= 24 && bare[1] != '-' && bare[1] != '0') {
            return 0x70 + static_cast<int>(*number) - 1;
        }
    }
    return std::nullopt;
}

std::optional<unsigned> parseMessage(StringView text) {
    String name = upper(text);
    if (auto number = parseInteger(name)) {
        if (*number < 0 || *number > 0xFFFF) {
            return std::nullopt;
        }
        return static_cast<unsigned>(*number);
    }
    StringView base = name;
    long long offset = 0;
    size_t plus = name.find('+');
    if (plus != String::npos) {
        base = StringView(name).substr(0, plus);
        auto parsed = parseInteger(StringView(name).substr(plus + 1));
        if (!parsed || *parsed < 0) {
            return std::nullopt;
        }
        offset = *parsed;
    }
    auto value = lookUp(base, std::begin(kMessages), std::end(kMessages));
    if (!value) {
        return std::nullopt;
    }
    if (plus != String::npos && *value != 0x0400 && *value != 0x8000) {
        return std::nullopt;  // only the private ranges count from a base
    }
    if (*value + offset > 0xBFFF) {
        return std::nullopt;
    }
    return static_cast<unsigned>(*value + offset);
}

}  // namespace zav2::driver
