#include "process_counters.h"

#include <winternl.h>
#include <cstdint>
#include <vector>

namespace fxtest {
namespace {

#ifdef _WIN64
constexpr size_t kPebGdiTable = 0xF8;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntryType = 14;
#else
constexpr size_t kPebGdiTable = 0x94;
constexpr size_t kGdiEntrySize = 16;
constexpr size_t kGdiEntryType = 10;
#endif
constexpr size_t kGdiEntries = 0x10000;

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

template <class F>
F NtFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

long CountTable(const unsigned char* table) {
    long count = 0;
    for (size_t i = 0; i < kGdiEntries; ++i) {
        const unsigned char* e = table + i * kGdiEntrySize + kGdiEntryType;
        if (e[0] | e[1]) ++count;
    }
    return count;
}

}  // namespace

long CountGdiObjects(HANDLE process) {
    static const QueryProcess query = NtFunction<QueryProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION info{};
    if (!query || query(process, 0 /* ProcessBasicInformation */, &info, sizeof(info), nullptr) < 0) return -1;
    const unsigned char* peb = reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
    if (process == GetCurrentProcess()) {
        const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(peb + kPebGdiTable);
        return table ? CountTable(table) : -1;
    }
    const unsigned char* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, peb + kPebGdiTable, &table, sizeof(table), &got) || !table) return -1;
    std::vector<unsigned char> copy(kGdiEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process, table, copy.data(), copy.size(), &got) || got != copy.size()) return -1;
    return CountTable(copy.data());
}

// Handle values are multiples of 4 handed out from the lowest free slot, so a
// process's handles lie in a dense range with few holes: probe until a long run of
// values is unused. (Wine 8's NtQuerySystemInformation(SystemHandleInformation)
// would be one call, but it crashes the wineserver when a process is being created
// at that moment, which a fuzzer or a test suite does all the time.)
long CountHandles(HANDLE process) {
    constexpr unsigned kGiveUpAfter = 1024;
    bool self = process == GetCurrentProcess() || GetProcessId(process) == GetCurrentProcessId();
    long count = 0;
    unsigned misses = 0;
    for (uintptr_t value = 4; misses < kGiveUpAfter; value += 4) {
        HANDLE h = reinterpret_cast<HANDLE>(value);
        bool used;
        if (self) {
            DWORD flags;
            used = GetHandleInformation(h, &flags) != FALSE;
        } else {
            HANDLE copy = nullptr;
            used = DuplicateHandle(process, h, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS) != FALSE;
            // A handle that cannot be duplicated still exists.
            if (!used) used = GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_NOT_SUPPORTED;
            if (copy) CloseHandle(copy);
        }
        if (used) {
            ++count;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return count;
}

ResourceCounts CountResources(HANDLE process) {
    return {CountGdiObjects(process), CountHandles(process)};
}

}  // namespace fxtest
