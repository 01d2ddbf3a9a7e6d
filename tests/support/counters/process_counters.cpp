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

// Wine's layouts of the two handle lists (owner id first in both).
struct HandleEntry {
    ULONG ownerPid;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
struct HandleEntryEx {
    PVOID object;
    ULONG_PTR ownerPid;
    ULONG_PTR handle;
    ACCESS_MASK access;
    USHORT backTrace;
    USHORT objectType;
    ULONG attributes;
    ULONG reserved;
};
struct HandleListEx {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntryEx entries[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr NTSTATUS kInfoLengthMismatch = NTSTATUS(0xC0000004);

using QuerySystem = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

template <class F>
F NtFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

bool Query(ULONG cls, std::vector<unsigned char>& buffer) {
    static const QuerySystem query = NtFunction<QuerySystem>("NtQuerySystemInformation");
    if (!query) return false;
    if (buffer.empty()) buffer.resize(1 << 20);
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        NTSTATUS status = query(cls, buffer.data(), ULONG(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
            continue;
        }
        return status >= 0;
    }
    return false;
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

long CountHandles(DWORD processId) {
    static thread_local std::vector<unsigned char> buffer;
    if (Query(kSystemExtendedHandleInformation, buffer)) {
        auto* list = reinterpret_cast<const HandleListEx*>(buffer.data());
        long count = 0;
        for (ULONG_PTR i = 0; i < list->count; ++i)
            if (list->entries[i].ownerPid == processId) ++count;
        return count;
    }
    if (Query(kSystemHandleInformation, buffer)) {
        auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < list->count; ++i)
            if (list->entries[i].ownerPid == processId) ++count;
        return count;
    }
    return -1;
}

ResourceCounts CountResources(HANDLE process) {
    return {CountGdiObjects(process), CountHandles(process == GetCurrentProcess() ? GetCurrentProcessId()
                                                                                : GetProcessId(process))};
}

}  // namespace fxtest
