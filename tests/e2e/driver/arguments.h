// Command-line parsing for the end-to-end driver: options, numbers, key and
// message names.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "platform/text.h"

namespace zav2::driver {

struct Arguments {
    String command;                    // the subcommand, first non-option word
    std::vector<String> positional;    // the words after it
    std::map<String, String> options;  // a bare "--flag" has no value
    String error;                      // empty when the words parsed

    std::optional<String> option(StringView name) const {
        auto found = options.find(String(name));
        return found == options.end() ? std::nullopt : std::optional<String>(found->second);
    }
    bool flag(StringView name) const { return options.count(String(name)) != 0; }
};

// Splits words into the subcommand, its positional words, "--name value"
// options (only the names listed in valueOptions take a value) and bare
// "--flag"s. Options may stand before or after the subcommand; "--" ends
// option parsing. A single dash does not start an option, so negative numbers
// such as the control id -1 stay positional.
Arguments parseArguments(const std::vector<String>& words,
                         const std::vector<StringView>& valueOptions);

// Decimal (optionally negative) or "0x" hexadecimal; the whole text must be a
// number that fits in 64 bits.
std::optional<long long> parseInteger(StringView text);

// A virtual-key code: a number, a letter or digit ("S", "7"), or a name
// in any case ("ESCAPE", "escape", "F5", "VOLUME_DOWN"). Codes outside
// 1 ... 254 are refused.
std::optional<int> parseVirtualKey(StringView text);

// A window message: a number or a name ("WM_COMMAND"), where "WM_APP+n"
// counts from that base.
std::optional<unsigned> parseMessage(StringView text);

}  // namespace zav2::driver
