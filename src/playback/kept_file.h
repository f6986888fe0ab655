// The files the program keeps beside itself (the places, the measured
// loudnesses): UTF-16LE with its byte order mark, so every path a list can
// hold comes back unit for unit ("=", ";", "[" and unpaired surrogates too);
// a first line naming the file, then one line per item, each ended by CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace zav2 {

std::string formatKeptFile(StringView header, const std::vector<String>& lines);
// The lines after the header; nothing when the bytes are not such a file
// with that header (damaged, cut short, another file of that name).
std::optional<std::vector<String>> parseKeptFile(std::string_view bytes, StringView header);

// Whether a path can stand in a line: not empty, no longer than a list
// entry, without control characters (which no file name has).
bool keepablePath(StringView path);

// ASCII text (numbers) as units of a line.
String asciiUnits(std::string_view text);
// A number of 1 to `mostDigits` decimal digits and nothing else.
std::optional<uint64_t> parseDigits(StringView digits, size_t mostDigits);

}  // namespace zav2
