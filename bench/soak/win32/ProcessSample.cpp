#include "ProcessSample.h"

#include <cstdint>

// clang-format off
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
// clang-format on

namespace zonbode::bench {

ProcessSample SampleThisProcess() {
    ProcessSample sample;
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
        sample.residentBytes = memory.WorkingSetSize;
    }
    // Every handle value that names an open handle: wine answers GetProcessHandleCount with 0.
    for (std::uintptr_t value = 4; value < (1u << 20); value += 4) {
        DWORD flags = 0;
        sample.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    const DWORD self = GetCurrentProcessId();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more;
             more = Thread32Next(snapshot, &entry)) {
            sample.threads += entry.th32OwnerProcessID == self ? 1 : 0;
        }
        CloseHandle(snapshot);
    }
    return sample;
}

}  // namespace zonbode::bench
