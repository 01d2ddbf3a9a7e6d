#include "folder_shortcuts.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>

#include "engine_state.h"
#include "fx/module_path.h"
#include "fx/text.h"

using Microsoft::WRL::ComPtr;

namespace engine {
namespace {

// A plain file name: no separator or colon (checked a character at a time, so a
// trail byte of a double-byte character is not taken for one), not "." or "..".
bool IsPlainName(const char* name) noexcept {
    if (!name || !*name || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    for (const char* p = name; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') return false;
    return true;
}

// CoInitialize for the call's length; a thread already in another apartment still
// has COM, and then there is nothing of ours to undo.
class ComScope {
public:
    ComScope() noexcept : hr_(CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

HRESULT CreateLink(ComPtr<IShellLinkA>& link, ComPtr<IPersistFile>& file) noexcept {
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr)) return hr;
    return link.As(&file);
}

bool WidePath(const char* path, WCHAR (&wide)[MAX_PATH]) noexcept {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) != 0;
}

}  // namespace

bool FolderShortcutPath(HMODULE module, const char* name, char* out, size_t cap) noexcept {
    if (cap) out[0] = '\0';
    if (!IsPlainName(name) || !fx::ModuleDirectory(module, out, cap)) return false;
    bool fits = fx::AppendText(out, cap, kFolderListDir) && fx::AppendText(out, cap, name) &&
                fx::AppendText(out, cap, ".lnk");
    if (!fits) out[0] = '\0';
    return fits;
}

HRESULT SaveFolderShortcut(const char* name, PCIDLIST_ABSOLUTE folder) noexcept {
    char path[MAX_PATH];
    WCHAR wide[MAX_PATH];
    if (!FolderShortcutPath(g_engineModule, name, path, sizeof path) || !WidePath(path, wide)) return E_INVALIDARG;
    DeleteFileA(path);

    ComScope com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    HRESULT hr = CreateLink(link, file);
    if (FAILED(hr)) return hr;
    link->SetIDList(folder);
    return file->Save(wide, TRUE);
}

PIDLIST_ABSOLUTE LoadFolderShortcut(HWND owner, const char* name) noexcept {
    char path[MAX_PATH];
    WCHAR wide[MAX_PATH];
    if (!FolderShortcutPath(g_engineModule, name, path, sizeof path) || !WidePath(path, wide)) return nullptr;

    ComScope com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CreateLink(link, file)) || FAILED(file->Load(wide, STGM_READ))) return nullptr;
    // Only a resolution that fully succeeded gives the folder; a partial match or a
    // link the user would have had to fix gives none.
    if (link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH) != S_OK) return nullptr;
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(link->GetIDList(&list)) || !list) return nullptr;
    // Some shells report success for a folder that is no longer there; a file-system
    // folder must still exist to be reopened.
    char target[MAX_PATH];
    if (SHGetPathFromIDListA(list, target) && GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
        CoTaskMemFree(list);
        return nullptr;
    }
    return list;
}

}  // namespace engine
