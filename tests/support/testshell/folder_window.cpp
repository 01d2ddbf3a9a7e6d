#include "folder_window.h"

#include <wrl/client.h>

#include "folder_windows.h"
#include "private_messages.h"

using Microsoft::WRL::ComPtr;

namespace testshell {
namespace {

constexpr wchar_t kCabinetClass[] = L"CabinetWClass";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kWidth = 480, kHeight = 320;

}  // namespace

FolderWindow::FolderWindow(FolderWindows& owner, PCIDLIST_ABSOLUTE folder)
    : owner_(owner), folder_(ClonePidl(folder)), title_(FolderTitle(folder)) {}

HRESULT FolderWindow::Create(int x, int y) {
    if (!folder_) return E_OUTOFMEMORY;
    if (!RegisterClassOnce(kCabinetClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    ComPtr<IShellFolder> desktop, folder;
    HRESULT hr = SHGetDesktopFolder(&desktop);
    if (FAILED(hr)) return hr;
    if (ILIsEmpty(folder_.get()))
        folder = desktop;
    else if (FAILED(hr = desktop->BindToObject(folder_.get(), nullptr, IID_PPV_ARGS(&folder))))
        return hr;

    if (!Window::Create(0, kCabinetClass, title_.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, kWidth, kHeight,
                nullptr, nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    RECT rc;
    GetClientRect(hwnd(), &rc);
    FOLDERSETTINGS fs{FVM_ICON, FWF_AUTOARRANGE};
    hr = view_.Create(*this, folder.Get(), fs, rc);
    if (FAILED(hr)) return hr;
    std::wstring path = PathOf(folder_.get());
    if (!path.empty()) watch_.Start(path, hwnd(), kMsgFolderChanged);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    return S_OK;
}

void FolderWindow::OpenFolder(PCIDLIST_ABSOLUTE folder) { owner_.Open(folder); }

LRESULT FolderWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) view_.Resize(RECT{0, 0, LOWORD(lp), HIWORD(lp)});
        return 0;
    case WM_SETFOCUS:
        if (view_.window()) SetFocus(view_.window());
        return 0;
    case kMsgFolderChanged:
        SetTimer(hwnd(), kRefreshTimer, 150, nullptr);
        return 0;
    case WM_TIMER:
        if (wp != kRefreshTimer) break;
        KillTimer(hwnd(), kRefreshTimer);
        view_.Refresh();
        return 0;
    case kMsgTranslateKey:
        return view_.TranslateAccelerator(reinterpret_cast<MSG*>(lp)) ? 1 : 0;
    case CWM_GETISHELLBROWSER:
        return reinterpret_cast<LRESULT>(static_cast<IShellBrowser*>(view_.browser()));
    case WM_DESTROY:
        watch_.Stop();
        view_.Destroy();
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

void FolderWindow::OnFinalMessage() { owner_.Forget(this); }

}  // namespace testshell
