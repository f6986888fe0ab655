// The engine's Wine test program ends as soon as its tests have run, with
// their outcome as its exit code. Under Wine 10 the media engine's
// GStreamer threads now and then abort in glibc (a robust mutex's
// assertion) while the process unloads its libraries, after every test has
// passed; ending here leaves that unloading out, which no test is about.
// Zav2.exe's own exit is checked by every end-to-end scenario's exit code.
// A process Wine ends in the middle of the tests is tools/wine-gtest's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A crash names its place before the process goes: the code, the module and
// the offset in it (addr2line finds the line in the tests' own programs).
LONG WINAPI reportCrash(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        static_cast<const char*>(record.ExceptionAddress), &module);
    if (module)
        GetModuleFileNameA(module, name, MAX_PATH);
    const auto at = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    std::fprintf(stderr, "crash: exception %08lx at %s+0x%llx (thread %lu)\n", record.ExceptionCode,
                 name, static_cast<unsigned long long>(at - reinterpret_cast<uintptr_t>(module)),
                 GetCurrentThreadId());
    for (DWORD i = 0; i < record.NumberParameters && i < 2; ++i)
        std::fprintf(stderr, "crash: parameter %lu = 0x%llx\n", i,
                     static_cast<unsigned long long>(record.ExceptionInformation[i]));
    // The calls that led there, unwound from the faulting context.
    CONTEXT context = *pointers->ContextRecord;
    for (int depth = 0; depth < 16 && context.Rip != 0; ++depth) {
        HMODULE caller = nullptr;
        GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<const char*>(context.Rip), &caller);
        char callerName[MAX_PATH] = "?";
        if (caller)
            GetModuleFileNameA(caller, callerName, MAX_PATH);
        std::fprintf(
            stderr, "crash: called from %s+0x%llx\n", callerName,
            static_cast<unsigned long long>(context.Rip - reinterpret_cast<uintptr_t>(caller)));
        DWORD64 base = 0;
        RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
        if (function == nullptr)
            break;
        void* handlerData = nullptr;
        DWORD64 frame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData,
                         &frame, nullptr);
    }
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(reportCrash);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
