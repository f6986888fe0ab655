#include "playback/kept_file.h"

#include <algorithm>

#include "platform/path.h"

namespace zav2 {

namespace {

void appendText(std::string& bytes, StringView text) {
    for (const Char unit : text) {
        const auto value = static_cast<uint16_t>(unit);
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    }
}

}  // namespace

std::string formatKeptFile(StringView header, const std::vector<String>& lines) {
    size_t units = header.size() + 2;
    for (const String& line : lines)
        units += line.size() + 2;
    std::string bytes;
    bytes.reserve(2 + units * 2);
    bytes = "\xFF\xFE";
    appendText(bytes, header);
    appendText(bytes, ZT("\r\n"));
    for (const String& line : lines) {
        appendText(bytes, line);
        appendText(bytes, ZT("\r\n"));
    }
    return bytes;
}

std::optional<std::vector<String>> parseKeptFile(std::string_view bytes, StringView header) {
    if (bytes.size() % 2 != 0 || !bytes.starts_with("\xFF\xFE"))
        return std::nullopt;
    const String text = utf16leToString(bytes.substr(2));
    std::vector<String> lines;
    bool headerSeen = false;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find(ZT("\r\n"), at);
        if (end == String::npos)
            return std::nullopt;  // cut short
        const StringView line(text.data() + at, end - at);
        at = end + 2;
        if (headerSeen)
            lines.emplace_back(line);
        else if (line == header)
            headerSeen = true;
        else
            return std::nullopt;
    }
    if (!headerSeen)
        return std::nullopt;
    return lines;
}

bool keepablePath(StringView path) {
    return !path.empty() && path.size() <= kMaxPath &&
           std::none_of(path.begin(), path.end(), [](Char c) { return c < 0x20; });
}

String asciiUnits(std::string_view text) {
    return String(text.begin(), text.end());
}

std::optional<uint64_t> parseDigits(StringView digits, size_t mostDigits) {
    if (digits.empty() || digits.size() > mostDigits)
        return std::nullopt;
    uint64_t value = 0;
    for (const Char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

}  // namespace zav2
