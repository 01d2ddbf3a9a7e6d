// Commands about processes: loaded modules, GDI object and handle counts, and
// reading a list view that lives in another process.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "fx/handles.h"
#include "probe.h"

namespace probe {
namespace {

bool ParsePid(const std::wstring& text, DWORD& pid) {
    unsigned long long value = 0;
    if (!ParseNumber(text, value) || value == 0 || value > 0xFFFFFFFFull) return false;
    pid = static_cast<DWORD>(value);
    return true;
}

int Modules(const Args& a) {
    DWORD pid;
    if (!ParsePid(a[0], pid)) return Fail("bad process id");
    fx::UniqueFile snap(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    if (!snap) return Fail("CreateToolhelp32Snapshot failed");
    MODULEENTRY32W me{};
    me.dwSize = sizeof me;
    for (BOOL ok = Module32FirstW(snap.get(), &me); ok; ok = Module32NextW(snap.get(), &me)) {
        std::string name = Utf8(me.szModule);
        std::printf("%s 0x%llx %lu\n", name.c_str(), static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(me.modBaseAddr)),
                    me.modBaseSize);
    }
    return 0;
}

// One entry of the GDI handle table that the PEB points to (x64 layout).
struct GdiHandleEntry {
    UINT64 kernelObject;
    ULONG owner;  // low word: owning process id
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry");
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

int GdiCount(const Args& a) {
    DWORD pid;
    if (!ParsePid(a[0], pid)) return Fail("bad process id");
    // GetGuiResources is a stub in Wine; the table in the target's PEB is exact.
    fx::UniqueHandleK process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return Fail("OpenProcess failed");
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(process.get(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return Fail("NtQueryInformationProcess failed");
    UINT_PTR table = 0;
    auto at = reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kPebGdiTableOffset;
    if (!ReadProcessMemory(process.get(), at, &table, sizeof table, nullptr) || !table)
        return Fail("no GDI handle table");
    std::vector<GdiHandleEntry> entries(kGdiTableEntries);
    SIZE_T read = 0;
    ReadProcessMemory(process.get(), reinterpret_cast<const void*>(table), entries.data(),
                      entries.size() * sizeof(GdiHandleEntry), &read);
    size_t count = 0;
    for (size_t i = 0; i < read / sizeof(GdiHandleEntry); ++i)
        if (entries[i].type != 0) ++count;
    std::printf("%zu\n", count);
    return 0;
}

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleInformation {
    ULONG count;
    HandleEntry handles[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

int HandleCount(const Args& a) {
    DWORD pid;
    if (!ParsePid(a[0], pid)) return Fail("bad process id");
    // GetProcessHandleCount is a stub in Wine; the system handle list is exact.
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    for (;;) {
        ULONG needed = 0;
        status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation),
                                          buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch) break;
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0) return Fail("NtQuerySystemInformation failed");
    auto* info = reinterpret_cast<const HandleInformation*>(buffer.data());
    size_t count = 0;
    for (ULONG i = 0; i < info->count; ++i)
        if (info->handles[i].ownerPid == pid) ++count;
    std::printf("%zu\n", count);
    return 0;
}

// Memory in another process, freed on scope exit.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process), p_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() { if (p_) VirtualFreeEx(process_, p_, 0, MEM_RELEASE); }
    BYTE* get() const { return static_cast<BYTE*>(p_); }

private:
    HANDLE process_;
    void* p_;
};

int ListViewItems(const Args& a) {
    HWND list;
    if (!ParseHwnd(a[0], list) || !IsWindow(list)) return Fail("bad window handle");
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    fx::UniqueHandleK process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process) return Fail("OpenProcess failed");
    // Pointer messages are not marshalled between processes: the item record and
    // its text buffer must live in the list view's process.
    constexpr size_t kTextChars = 512;
    RemoteBuffer remote(process.get(), sizeof(LVITEMW) + sizeof(RECT) + kTextChars * sizeof(wchar_t));
    if (!remote.get()) return Fail("VirtualAllocEx failed");
    BYTE* remoteItem = remote.get();
    BYTE* remoteRect = remoteItem + sizeof(LVITEMW);
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteRect + sizeof(RECT));

    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = remoteText;
        item.cchTextMax = kTextChars;
        wchar_t text[kTextChars] = {};
        RECT rc{LVIR_ICON, 0, 0, 0};
        if (!WriteProcessMemory(process.get(), remoteItem, &item, sizeof item, nullptr) ||
            !WriteProcessMemory(process.get(), remoteRect, &rc, sizeof rc, nullptr))
            return Fail("WriteProcessMemory failed");
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remoteItem));
        SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(remoteRect));
        ReadProcessMemory(process.get(), remoteText, text, sizeof text - sizeof(wchar_t), nullptr);
        ReadProcessMemory(process.get(), remoteRect, &rc, sizeof rc, nullptr);
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        std::printf("%d\t%ld,%ld,%ld,%ld\t", i, rc.left, rc.top, rc.right, rc.bottom);
        PrintText(text);
    }
    return 0;
}

}  // namespace

const Command kProcessCommands[] = {
    {"modules", 1, "PID                     loaded modules: name base size", Modules},
    {"gdi-count", 1, "PID                   GDI objects of the process", GdiCount},
    {"handle-count", 1, "PID                kernel handles of the process", HandleCount},
    {"lv-items", 1, "HWND                   list view items: index, icon rect on screen, text", ListViewItems},
};
const size_t kProcessCommandCount = sizeof kProcessCommands / sizeof kProcessCommands[0];

}  // namespace probe
