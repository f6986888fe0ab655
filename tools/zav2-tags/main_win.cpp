#include <windows.h>

#include <cstdio>
#include <string>

#include "describe.h"

namespace {

// A console shows UTF-16 as it is; pipes and files get UTF-8.
void writeLine(const std::string& utf8) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode)) {
        const std::wstring text = zav2::utf8ToUtf16(utf8);
        DWORD written = 0;
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wstring(argv[1]) == L"--help" || std::wstring(argv[1]) == L"-h") {
        writeLine(
            "usage: zav2-tags FILE...\n"
            "Prints, one line per file: path, the title Zav2 shows, its source,\n"
            "and the embedded lyrics and picture found.\n");
        return argc < 2 ? 2 : 0;
    }
    for (int i = 1; i < argc; ++i)
        writeLine(zav2::describeFile(argv[i]) + "\n");
    std::fflush(stdout);
    return 0;
}
