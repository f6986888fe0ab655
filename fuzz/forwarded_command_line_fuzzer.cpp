// The bytes another start sends with WM_COPYDATA, as the running instance
// takes them apart: bounded copy, ANSI decoding, splitting, the path.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zav2;
    using fuzz::check;
    const std::string bytes = copyForwardedBytes(data, size);
    check(bytes.size() <= size && bytes.size() <= kMaxForwardedBytes);
    check(bytes.find('\0') == std::string::npos);

    const String text = ansiToUtf16(bytes);
    size_t units = 0;
    for (bool firstIsProgram : {false, true}) {
        const std::vector<String> arguments = splitCommandLine(text, firstIsProgram);
        units = 0;
        for (const String& argument : arguments)
            units += argument.size();
        check(units <= text.size());
    }
    const String path = pathArgument(splitCommandLine(text, false));
    check(path.size() <= text.size());
    // The start's own view of the same bytes.
    const String name = instanceNameFor(bytes, ZT("Zav2.exe"));
    if (instanceNameIsUsable(name))
        check(!name.empty() && name.size() <= kMaxInstanceNameLength);
    const int command = controlCommandFor(bytes);
    check(command >= 0);
    return 0;
}
