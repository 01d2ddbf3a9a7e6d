#include "help_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "engine_shared.h"
#include "engine_state.h"
#include "fx/text.h"

namespace engine {

char g_labelBeforeEdit[260] = "";

namespace {

constexpr char kDesktopTitle[] = "Program Manager";

bool IsLeadByte(UINT codePage, char c) noexcept { return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(c)) != FALSE; }

// Start of the character after p (a lead byte with its trail is one character).
const char* NextChar(UINT codePage, const char* p) noexcept {
    return (IsLeadByte(codePage, *p) && p[1] != '\0') ? p + 2 : p + 1;
}

// Committed and readable by its protection. Checked as well as read with
// ReadProcessMemory, since some platforms let that read a no-access page.
bool PageReadable(const void* address) noexcept {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(address, &info, sizeof info) || info.State != MEM_COMMIT) return false;
    if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    return (info.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

bool InThisProcess(HWND window) noexcept {
    DWORD pid = 0;
    return window && GetWindowThreadProcessId(window, &pid) && pid == GetCurrentProcessId();
}

}  // namespace

void FolderPartOfTitle(const char* title, char* out, size_t cap, UINT codePage) noexcept {
    char t[kHelpTextSize];
    fx::CopyText(t, title);
    // A drive root shown as its path: the drive letter alone.
    if (std::strlen(t) == 3 && !IsLeadByte(codePage, t[0]) && t[1] == ':' && t[2] == '\\') t[1] = '\0';

    // The last colon or backslash that begins a character, and the character before it.
    const char* sep = nullptr;
    const char* beforeSep = nullptr;
    const char* previous = nullptr;
    for (const char* p = t; *p != '\0'; p = NextChar(codePage, p)) {
        if (*p == ':' || *p == '\\') {
            sep = p;
            beforeSep = previous;
        }
        previous = p;
    }

    if (sep && *sep == '\\') {
        fx::CopyText(out, cap, sep + 1);
    } else if (sep && beforeSep) {
        // The drive letter before the colon of "Label (C:)".
        char letter[3] = {beforeSep[0], sep - beforeSep == 2 ? beforeSep[1] : '\0', '\0'};
        fx::CopyText(out, cap, letter);
    } else {
        // No separator, or a colon with nothing before it: the whole title.
        fx::CopyText(out, cap, t);
    }
}

void FolderHelpKey(const char* title, const char* label, char* out, size_t cap, UINT codePage) noexcept {
    FolderPartOfTitle(title, out, cap, codePage);
    fx::AppendText(out, cap, "\\");
    fx::AppendText(out, cap, label);
}

void ReadHelpText(const char* file, const char* key, const char* fallback, char* out, size_t cap) noexcept {
    if (!out || cap == 0) return;
    char text[kHelpTextSize] = "";
    GetPrivateProfileStringA(kHelpSection, key ? key : "", fallback ? fallback : "", text, sizeof text, file);
    fx::CopyText(out, cap, text);
}

void LookUpHelpText(const char* key) noexcept {
    // Copies first: the key and the default live in the shared area, and the key may
    // be the very buffer the text goes to.
    char k[kHelpKeySize];
    char fallback[sizeof g_shared.g_defaultHelpText];
    fx::CopyText(k, key);
    fx::CopyText(fallback, g_shared.g_defaultHelpText);
    char text[kHelpTextSize];
    ReadHelpText(g_stringsFilePath, k, fallback, text, sizeof text);
    fx::CopyText(g_shared.g_bubbleText, text);
}

void NoteLabelBeforeEdit(HWND listView) noexcept {
    g_labelBeforeEdit[0] = '\0';
    // The list view writes the label through our pointer: only a list view of this
    // process can be asked.
    if (!InThisProcess(listView)) return;
    LRESULT item = SendMessageA(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (item < 0) return;
    char label[sizeof g_labelBeforeEdit] = "";
    LVITEMA lv{};
    lv.iSubItem = 0;
    lv.pszText = label;
    lv.cchTextMax = sizeof label;
    SendMessageA(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    fx::CopyText(g_labelBeforeEdit, label);
}

bool MoveHelpTextInFile(const char* file, const char* viewTitle, const char* oldLabel,
                        const char* newLabel) noexcept {
    if (!oldLabel || !*oldLabel || !newLabel || !*newLabel) return false;
    char prefix[kHelpKeySize] = "";
    if (viewTitle && *viewTitle && lstrcmpiA(viewTitle, kDesktopTitle) != 0) {
        fx::CopyText(prefix, viewTitle);
        fx::AppendText(prefix, sizeof prefix, "\\");
    }
    char oldKey[kHelpKeySize];
    fx::CopyText(oldKey, prefix);
    fx::AppendText(oldKey, sizeof oldKey, oldLabel);
    char text[kHelpTextSize];
    ReadHelpText(file, oldKey, "", text, sizeof text);
    if (text[0] == '\0') return false;

    char newKey[kHelpKeySize];
    fx::CopyText(newKey, prefix);
    fx::AppendText(newKey, sizeof newKey, newLabel);
    WritePrivateProfileStringA(kHelpSection, oldKey, nullptr, file);
    WritePrivateProfileStringA(kHelpSection, newKey, text, file);
    return true;
}

void MoveHelpText(HWND view, const char* newLabel) noexcept {
    char label[kHelpTextSize];
    if (!CopyTextFromAddress(newLabel, label, sizeof label) || label[0] == '\0' || g_labelBeforeEdit[0] == '\0')
        return;
    char title[kHelpTextSize] = "";
    GetWindowTextA(GetParent(view), title, sizeof title);
    MoveHelpTextInFile(g_stringsFilePath, title, g_labelBeforeEdit, label);
}

bool CopyTextFromAddress(const void* address, char* out, size_t cap) noexcept {
    if (!out || cap == 0) return false;
    out[0] = '\0';
    if (!address) return false;
    static const size_t page = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return static_cast<size_t>(info.dwPageSize ? info.dwPageSize : 4096);
    }();
    // Read a page at a time: the text may end just before an unreadable page.
    const char* src = static_cast<const char*>(address);
    size_t n = 0;
    while (n + 1 < cap) {
        const size_t toPageEnd = page - reinterpret_cast<ULONG_PTR>(src + n) % page;
        const size_t want = std::min(toPageEnd, cap - 1 - n);
        SIZE_T got = 0;
        if (!PageReadable(src + n) || !ReadProcessMemory(GetCurrentProcess(), src + n, out + n, want, &got) ||
            got != want) {
            out[0] = '\0';
            return false;
        }
        if (std::memchr(out + n, '\0', want)) return true;
        n += want;
    }
    out[n] = '\0';
    return true;
}

}  // namespace engine
