#include "app/command_line.h"

#include <cstring>

#include "platform/path.h"

namespace zav2 {

String instanceNameFor(std::string_view argumentBytes, StringView programFileName) {
    if (argumentBytes.empty() || argumentBytes.front() != '-')
        return String(programFileName);
    const size_t space = argumentBytes.find(' ');
    return ansiToUtf16(argumentBytes.substr(0, space));
}

bool instanceNameIsUsable(StringView instanceName) {
    if (instanceName.empty() || instanceName.size() > kMaxInstanceNameLength)
        return false;
    for (Char c : instanceName) {
        if (c < 0x20 || StringView(ZT("\\/:*?\"<>|")).find(c) != StringView::npos)
            return false;
    }
    return true;
}

int controlCommandFor(std::string_view argumentBytes) {
    constexpr std::pair<std::string_view, int> kSwitches[] = {
        {"/Play", 1004}, {"/Stop", 1006}, {"/Next", 1008}};
    for (const auto& [text, command] : kSwitches) {
        if (argumentBytes.find(text) != std::string_view::npos)
            return command;
    }
    return 0;
}

namespace {
bool isBlank(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
}  // namespace

std::vector<String> splitCommandLine(StringView line, bool firstIsProgram) {
    std::vector<String> arguments;
    size_t i = 0;
    if (firstIsProgram) {
        String program;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"')
                program.push_back(line[i++]);
            if (i < line.size())
                ++i;
        } else {
            while (i < line.size() && !isBlank(line[i]))
                program.push_back(line[i++]);
        }
        arguments.push_back(program);
    }
    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        String argument;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                size_t slashes = 0;
                while (i < line.size() && line[i] == '\\')
                    ++slashes, ++i;
                if (i < line.size() && line[i] == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        argument.push_back('"');
                        ++i;
                    }
                } else {
                    argument.append(slashes, '\\');
                }
            } else if (line[i] == '"') {
                ++i;
                if (quoted && i < line.size() && line[i] == '"') {
                    argument.push_back('"');  // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else {
                argument.push_back(line[i++]);
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

String pathArgument(const std::vector<String>& arguments) {
    if (arguments.empty())
        return {};
    if (!arguments[0].empty() && arguments[0][0] == '-') {
        return arguments.size() >= 2 ? arguments[1] : String();
    }
    return arguments[0];
}

std::string copyForwardedBytes(const void* data, size_t size) {
    if (!data)
        return {};
    const char* bytes = static_cast<const char*>(data);
    const size_t limit = size < kMaxForwardedBytes ? size : kMaxForwardedBytes;
    const void* terminator = std::memchr(bytes, '\0', limit);
    const size_t length =
        terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - bytes) : limit;
    return std::string(bytes, length);
}

}  // namespace zav2
