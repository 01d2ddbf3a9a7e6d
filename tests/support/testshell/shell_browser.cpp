#include "shell_browser.h"

#include <shlwapi.h>
#include <wrl/client.h>

#include "shell_util.h"

using Microsoft::WRL::ComPtr;

namespace testshell {
namespace {

// The single selected item of a view as an absolute ID list; null when the
// selection is empty or holds several items.
UniquePidl SingleSelection(IShellView* view) {
    ComPtr<IDataObject> data;
    if (!view || FAILED(view->GetItemObject(SVGIO_SELECTION, IID_PPV_ARGS(&data)))) return nullptr;
    FORMATETC fmt{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST)), nullptr,
                  DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&fmt, &medium))) return nullptr;
    UniquePidl result;
    if (auto* ida = static_cast<const CIDA*>(GlobalLock(medium.hGlobal))) {
        if (ida->cidl == 1) {
            auto base = reinterpret_cast<const BYTE*>(ida);
            auto parent = reinterpret_cast<PCIDLIST_ABSOLUTE>(base + ida->aoffset[0]);
            auto child = reinterpret_cast<PCUIDLIST_RELATIVE>(base + ida->aoffset[1]);
            result.reset(ILCombine(parent, child));
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return result;
}

bool IsFolder(PCIDLIST_ABSOLUTE pidl) {
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (FAILED(SHBindToParent(pidl, IID_PPV_ARGS(&parent), &last))) return false;
    SFGAOF attrs = SFGAO_FOLDER | SFGAO_LINK | SFGAO_STREAM;
    if (FAILED(parent->GetAttributesOf(1, &last, &attrs))) return false;
    // Shortcuts and compound files go to their own handlers, as the real shell does.
    return (attrs & SFGAO_FOLDER) && !(attrs & (SFGAO_LINK | SFGAO_STREAM));
}

}  // namespace

IFACEMETHODIMP ShellBrowser::QueryInterface(REFIID riid, void** ppv) {
    static const QITAB table[] = {
        QITABENTMULTI(ShellBrowser, IOleWindow, IShellBrowser),
        QITABENT(ShellBrowser, IShellBrowser),
        QITABENT(ShellBrowser, ICommDlgBrowser),
        {},
    };
    return QISearch(this, table, riid, ppv);
}

IFACEMETHODIMP_(ULONG) ShellBrowser::AddRef() { return InterlockedIncrement(&refs_); }

IFACEMETHODIMP_(ULONG) ShellBrowser::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return n;
}

IFACEMETHODIMP ShellBrowser::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = host_ ? host_->HostWindow() : nullptr;
    return *phwnd ? S_OK : E_FAIL;
}

IFACEMETHODIMP ShellBrowser::BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) {
    if (!host_) return E_FAIL;
    UniquePidl target;
    if (flags & SBSP_PARENT) {
        target = ClonePidl(host_->HostFolder());
        if (!target || !ILRemoveLastID(target.get())) return E_FAIL;
    } else if (flags & SBSP_RELATIVE) {
        target.reset(ILCombine(host_->HostFolder(), pidl));
    } else {
        target.reset(ILClone(pidl));
    }
    if (!target) return E_OUTOFMEMORY;
    host_->OpenFolder(target.get());
    return S_OK;
}

IFACEMETHODIMP ShellBrowser::GetViewStateStream(DWORD, IStream** stream) {
    if (stream) *stream = nullptr;
    return E_NOTIMPL;
}

IFACEMETHODIMP ShellBrowser::GetControlWindow(UINT, HWND* hwnd) {
    // No tree, toolbar or status bar: the view then acts in "open" mode.
    if (hwnd) *hwnd = nullptr;
    return E_NOTIMPL;
}

IFACEMETHODIMP ShellBrowser::SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT* ret) {
    if (ret) *ret = 0;
    return E_NOTIMPL;
}

IFACEMETHODIMP ShellBrowser::QueryActiveShellView(IShellView** view) {
    if (!view) return E_POINTER;
    *view = host_ ? host_->ActiveView() : nullptr;
    if (!*view) return E_FAIL;
    (*view)->AddRef();
    return S_OK;
}

IFACEMETHODIMP ShellBrowser::OnDefaultCommand(IShellView* view) {
    // Wine's view leaves folders to the browser; files keep the default verb (S_FALSE).
    if (!host_) return S_FALSE;
    UniquePidl item = SingleSelection(view);
    if (!item || !IsFolder(item.get())) return S_FALSE;
    host_->OpenFolder(item.get());
    return S_OK;
}

}  // namespace testshell
