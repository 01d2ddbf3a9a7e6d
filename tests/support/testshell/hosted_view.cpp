#include "hosted_view.h"

namespace testshell {

HRESULT HostedView::Create(ViewHost& host, IShellFolder* folder, const FOLDERSETTINGS& settings, const RECT& rc,
                           Kind kind) {
    Destroy();
    HRESULT hr;
    if (kind == kShell32View) {
        SFV_CREATE create{sizeof create, folder, nullptr, nullptr};
        hr = SHCreateShellFolderView(&create, &view_);
    } else {
        hr = folder->CreateViewObject(host.HostWindow(), IID_PPV_ARGS(&view_));
    }
    if (FAILED(hr)) return hr;
    browser_ = new ShellBrowser(&host);
    RECT bounds = rc;
    hr = view_->CreateViewWindow(nullptr, &settings, browser_, &bounds, &window_);
    if (FAILED(hr) || !window_) {
        Destroy();
        return FAILED(hr) ? hr : E_FAIL;
    }
    view_->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
    return S_OK;
}

void HostedView::Destroy() noexcept {
    if (view_) {
        view_->UIActivate(SVUIA_DEACTIVATE);
        if (window_) view_->DestroyViewWindow();
        view_.Reset();
    }
    window_ = nullptr;
    if (browser_) {
        browser_->Detach();
        browser_->Release();
        browser_ = nullptr;
    }
}

void HostedView::Resize(const RECT& rc) const noexcept {
    if (window_) MoveWindow(window_, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void HostedView::Refresh() const noexcept {
    if (view_) view_->Refresh();
}

bool HostedView::TranslateAccelerator(MSG* msg) const noexcept {
    if (!view_ || !window_ || (msg->hwnd != window_ && !IsChild(window_, msg->hwnd))) return false;
    return view_->TranslateAccelerator(msg) == S_OK;
}

}  // namespace testshell
