// A process's threads and handles, for the measures that run under Wine: Wine
// answers no per-process handle count, so handles are counted in the system's
// handle table (SystemHandleInformation of NtQuerySystemInformation).
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

namespace zav2::bench {

inline int threadsOf(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId;
    CloseHandle(snapshot);
    return count;
}

inline long handlesOf(DWORD processId) {
    struct HandleEntry {
        USHORT processId;
        USHORT creatorBackTraceIndex;
        UCHAR objectTypeIndex;
        UCHAR attributes;
        USHORT value;
        PVOID object;
        ULONG grantedAccess;
    };
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long mine = 0;
    for (ULONG i = 0; i < count; ++i)
        mine += entries[i].processId == (processId & 0xFFFF);
    return mine;
}

}  // namespace zav2::bench
