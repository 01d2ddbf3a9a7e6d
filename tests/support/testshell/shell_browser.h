// The smallest browser a shell view accepts: it reports the host window, opens
// folders in windows of our own, and takes the double click on a folder.
#pragma once
#include <windows.h>
#include <shlobj.h>

namespace testshell {

// What a window hosting a shell view provides to its browser.
class ViewHost {
public:
    virtual HWND HostWindow() const = 0;
    virtual PCIDLIST_ABSOLUTE HostFolder() const = 0;
    virtual IShellView* ActiveView() const = 0;
    virtual void OpenFolder(PCIDLIST_ABSOLUTE folder) = 0;

protected:
    ~ViewHost() = default;
};

class ShellBrowser final : public IShellBrowser, public ICommDlgBrowser {
public:
    explicit ShellBrowser(ViewHost* host) noexcept : host_(host) {}
    ShellBrowser(const ShellBrowser&) = delete;
    ShellBrowser& operator=(const ShellBrowser&) = delete;

    // The view may keep a reference after its host has gone.
    void Detach() noexcept { host_ = nullptr; }

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IOleWindow
    IFACEMETHODIMP GetWindow(HWND* phwnd) override;
    IFACEMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IShellBrowser
    IFACEMETHODIMP InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    IFACEMETHODIMP SetMenuSB(HMENU, HOLEMENU, HWND) override { return S_OK; }
    IFACEMETHODIMP RemoveMenusSB(HMENU) override { return S_OK; }
    IFACEMETHODIMP SetStatusTextSB(LPCWSTR) override { return S_OK; }
    IFACEMETHODIMP EnableModelessSB(BOOL) override { return S_OK; }
    IFACEMETHODIMP TranslateAcceleratorSB(MSG*, WORD) override { return S_FALSE; }
    IFACEMETHODIMP BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) override;
    IFACEMETHODIMP GetViewStateStream(DWORD, IStream** stream) override;
    IFACEMETHODIMP GetControlWindow(UINT, HWND* hwnd) override;
    IFACEMETHODIMP SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT* ret) override;
    IFACEMETHODIMP QueryActiveShellView(IShellView** view) override;
    IFACEMETHODIMP OnViewWindowActive(IShellView*) override { return S_OK; }
    IFACEMETHODIMP SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return S_OK; }

    // ICommDlgBrowser: only OnDefaultCommand matters; everything else is included.
    IFACEMETHODIMP OnDefaultCommand(IShellView* view) override;
    IFACEMETHODIMP OnStateChange(IShellView*, ULONG) override { return S_OK; }
    IFACEMETHODIMP IncludeObject(IShellView*, PCUITEMID_CHILD) override { return S_OK; }

private:
    ~ShellBrowser() = default;

    LONG refs_ = 1;
    ViewHost* host_;
};

}  // namespace testshell
