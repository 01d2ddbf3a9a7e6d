#include "desktop_folder.h"

namespace testshell {

IFACEMETHODIMP DesktopFolder::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IShellFolder) {
        *ppv = static_cast<IShellFolder*>(this);
        AddRef();
        return S_OK;
    }
    return inner_->QueryInterface(riid, ppv);
}

IFACEMETHODIMP_(ULONG) DesktopFolder::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return n;
}

IFACEMETHODIMP DesktopFolder::SetNameOf(HWND hwnd, PCUITEMID_CHILD pidl, LPCWSTR name, SHGDNF flags,
                                        PITEMID_CHILD* out) {
    HRESULT hr = inner_->SetNameOf(hwnd, pidl, name, flags, out);
    if (SUCCEEDED(hr) || !files_) return hr;
    // Items of the desktop directory have the same child ID lists in both folders.
    SFGAOF attrs = SFGAO_FILESYSTEM;
    if (FAILED(inner_->GetAttributesOf(1, &pidl, &attrs)) || !(attrs & SFGAO_FILESYSTEM)) return hr;
    return files_->SetNameOf(hwnd, pidl, name, flags, out);
}

}  // namespace testshell
