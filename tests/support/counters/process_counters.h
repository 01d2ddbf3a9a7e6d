// What a process holds, counted the ways that work under Wine (GetGuiResources and
// GetProcessHandleCount are stubs there): GDI objects from the process's GDI handle
// table (PEB GdiSharedHandleTable), kernel handles from
// NtQuerySystemInformation(SystemHandleInformation) filtered by process id.
#pragma once
#include <windows.h>

namespace fxtest {

struct ResourceCounts {
    long gdiObjects = -1;  // -1 when it could not be counted
    long handles = -1;
};

// The process must allow PROCESS_QUERY_INFORMATION | PROCESS_VM_READ for another
// process; the current process is read in place.
long CountGdiObjects(HANDLE process = GetCurrentProcess());
long CountHandles(DWORD processId = GetCurrentProcessId());
ResourceCounts CountResources(HANDLE process = GetCurrentProcess());

inline bool operator==(const ResourceCounts& a, const ResourceCounts& b) {
    return a.gdiObjects == b.gdiObjects && a.handles == b.handles;
}
inline bool operator!=(const ResourceCounts& a, const ResourceCounts& b) { return !(a == b); }

}  // namespace fxtest
