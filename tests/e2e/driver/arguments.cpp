#include "arguments.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>

namespace zav2::driver {
namespace {

struct Named {
    const char* name;
    unsigned value;
};

// Keys the scenarios press by name.
constexpr Named kKeys[] = {
    {"BACK", 0x08},  {"RETURN", 0x0D}, {"ESCAPE", 0x1B}, {"SPACE", 0x20},
    {"PRIOR", 0x21}, {"NEXT", 0x22},   {"HOME", 0x24},   {"RIGHT", 0x27},
    {"DOWN", 0x28},  {"INSERT", 0x2D}, {"DELETE", 0x2E}, {"VOLUME_DOWN", 0xAE},
};

constexpr Named kMessages[] = {{"WM_COMMAND", 0x0111}, {"WM_HOTKEY", 0x0312}, {"WM_APP", 0x8000}};

template <size_t N>
std::optional<unsigned> lookUp(StringView name, const Named (&table)[N]) {
    for (const Named& entry : table) {
        if (equalsIgnoreCase(name, utf8ToUtf16(entry.name)))
            return entry.value;
    }
    return std::nullopt;
}

}  // namespace

Arguments parseArguments(const std::vector<String>& words,
                         const std::vector<StringView>& valueOptions) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const String& word = words[i];
        if (!optionsEnded && word == ZT("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 2 && word.starts_with(ZT("--"))) {
            String name = word.substr(2);
            if (std::find(valueOptions.begin(), valueOptions.end(), StringView(name)) ==
                valueOptions.end()) {
                parsed.options[name];
            } else if (i + 1 < words.size()) {
                parsed.options[name] = words[++i];
            } else {
                parsed.error = ZT("option ") + word + ZT(" needs a value");
                return parsed;
            }
        } else if (parsed.command.empty()) {
            parsed.command = word;
        } else {
            parsed.positional.push_back(word);
        }
    }
    if (parsed.command.empty())
        parsed.error = ZT("no subcommand given");
    return parsed;
}

std::optional<long long> parseInteger(StringView text) {
    const String digits(text);
    const size_t sign = digits.starts_with('-') ? 1 : 0;
    // The C library would also take blanks and a plus sign in front.
    if (digits.size() <= sign || digits[sign] < '0' || digits[sign] > '9')
        return std::nullopt;
    const bool hex =
        digits.size() > sign + 2 && (digits[sign + 1] == 'x' || digits[sign + 1] == 'X');
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(digits.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || end != digits.c_str() + digits.size())
        return std::nullopt;
    return value;
}

std::optional<int> parseVirtualKey(StringView name) {
    const Char first = name.empty() ? Char() : toUpper(name[0]);
    if (name.size() == 1 && ((first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9')))
        return static_cast<int>(first);
    if (auto number = parseInteger(name))
        return *number >= 1 && *number <= 254 ? std::optional<int>(*number) : std::nullopt;
    if (auto named = lookUp(name, kKeys))
        return static_cast<int>(*named);
    if (name.size() >= 2 && first == 'F' && name[1] >= '1' && name[1] <= '9') {
        auto number = parseInteger(name.substr(1));
        if (number && *number <= 24)
            return 0x70 + static_cast<int>(*number) - 1;
    }
    return std::nullopt;
}

std::optional<unsigned> parseMessage(StringView name) {
    auto value = parseInteger(name);
    if (!value) {
        // Only the private range counts on from its base: "WM_APP+2".
        const size_t plus = name.find('+');
        auto base = lookUp(name.substr(0, plus), kMessages);
        auto offset = plus == StringView::npos ? std::optional<long long>(0)
                                               : parseInteger(name.substr(plus + 1));
        if (!base || !offset || *offset < 0 || (plus != StringView::npos && *base != 0x8000))
            return std::nullopt;
        value = *base + *offset;
    }
    if (*value < 0 || *value > 0xFFFF)
        return std::nullopt;
    return static_cast<unsigned>(*value);
}

}  // namespace zav2::driver
