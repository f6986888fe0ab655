// The engine's Wine test program ends as soon as its tests have run, with
// their outcome as its exit code. Under Wine 10 the media engine's
// GStreamer threads now and then abort in glibc (a robust mutex's
// assertion) while the process unloads its libraries, after every test has
// passed; ending here leaves that unloading out, which no test is about.
// Zav2.exe's own exit is checked by every end-to-end scenario's exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
