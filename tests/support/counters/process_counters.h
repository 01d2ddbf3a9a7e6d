// What a process holds, counted the ways that work under Wine (GetGuiResources and
// GetProcessHandleCount are stubs there): GDI objects from the process's GDI handle
// table (PEB GdiSharedHandleTable), kernel handles by probing its handle values
// (GetHandleInformation here, DuplicateHandle in another process).
#pragma once
#include <windows.h>

namespace fxtest {

struct ResourceCounts {
    long gdiObjects = -1;  // -1 when it could not be counted
    long handles = -1;
};

// Another process must be opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
// (GDI) and PROCESS_DUP_HANDLE (handles); the current process is read in place.
long CountGdiObjects(HANDLE process = GetCurrentProcess());
long CountHandles(HANDLE process = GetCurrentProcess());
ResourceCounts CountResources(HANDLE process = GetCurrentProcess());

inline bool operator==(const ResourceCounts& a, const ResourceCounts& b) {
    return a.gdiObjects == b.gdiObjects && a.handles == b.handles;
}
inline bool operator!=(const ResourceCounts& a, const ResourceCounts& b) { return !(a == b); }

}  // namespace fxtest
