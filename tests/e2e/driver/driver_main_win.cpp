// zav2-driver [--name N] [--timeout ms] <subcommand> [arguments] [options]
// zav2-driver serve: the same, one command a line of standard input
//
// To add a subcommand: write `int name(Context&)` in the file of its kind and
// give it a row in that file's table.
#include "driver.h"

namespace zav2::driver {
namespace {

const std::vector<StringView> kValueOptions = {ZT("name"),  ZT("timeout"), ZT("control"),
                                               ZT("title"), ZT("caption"), ZT("press"),
                                               ZT("size"),  ZT("class")};

const std::span<const Subcommand> kTables[] = {kWindowCommands, kMessageCommands, kControlCommands,
                                               kFileCommands};

int run(std::vector<String> words) {
    Context context;
    context.arguments = parseArguments(words, kValueOptions);
    if (!context.arguments.error.empty()) {
        printError(context.arguments.error);
        return kUsage;
    }
    context.instanceName = context.arguments.option(ZT("name")).value_or(ZT("Zav2.exe"));
    if (auto timeout = context.arguments.option(ZT("timeout"))) {
        auto parsed = parseInteger(*timeout);
        if (!parsed || *parsed < 0 || *parsed > 3600000) {
            printError(ZT("--timeout takes milliseconds"));
            return kUsage;
        }
        context.timeoutMs = static_cast<DWORD>(*parsed);
    }
    for (const auto& table : kTables) {
        for (const Subcommand& subcommand : table) {
            if (context.arguments.command != subcommand.name)
                continue;
            const auto given = static_cast<int>(context.arguments.positional.size());
            if (given < subcommand.fewest || given > subcommand.most) {
                printError(String(subcommand.name) + ZT(" takes ") + number(subcommand.fewest) +
                           ZT(" to ") + number(subcommand.most) + ZT(" arguments"));
                return kUsage;
            }
            return subcommand.run(context);
        }
    }
    printError(ZT("unknown subcommand ") + context.arguments.command);
    return kUsage;
}

// One command a line of standard input, its words in UTF-8 separated by
// U+001F after a tag; after its output, a line of U+001E, the tag and its
// exit code. An empty
// line or the end of the input ends it. A scenario
// keeps one such driver for its short commands: starting a Wine process for
// each poll cost a third of a second of processor time.
int serve() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[4096];
    for (;;) {
        size_t end;
        while ((end = pending.find('\n')) == std::string::npos) {
            DWORD got = 0;
            if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0)
                return kOk;
            pending.append(buffer, got);
        }
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (line.empty())
            return kOk;
        std::vector<String> words;
        for (size_t from = 0;;) {
            const size_t to = line.find('\x1f', from);
            words.push_back(utf8ToUtf16(std::string_view(line).substr(from, to - from)));
            if (to == std::string::npos)
                break;
            from = to + 1;
        }
        const String tag = words.front();
        words.erase(words.begin());
        print(ZT("\x1e") + tag + ZT(" ") + number(run(std::move(words))));
    }
}

}  // namespace
}  // namespace zav2::driver

int wmain(int argc, wchar_t** argv) {
    // Rectangles and pixels as the program sees them: an unaware driver would
    // be handed coordinates scaled to 96 DPI.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    std::vector<zav2::String> words(argv + 1, argv + argc);
    if (words.size() == 1 && words[0] == ZT("serve"))
        return zav2::driver::serve();
    return zav2::driver::run(std::move(words));
}
