#include <cstdio>
#include <cstring>

#include "describe.h"

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(
            "usage: zav2-tags FILE...\n"
            "Prints, one line per file: path, the title Zav2 shows, its source,\n"
            "and the embedded lyrics and picture found.\n",
            argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string line = zav2::describeFile(zav2::utf8ToUtf16(argv[i])) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
