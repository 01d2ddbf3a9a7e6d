// The desktop folder as handed to its shell view: Wine's own desktop folder, except
// that renaming (a stub there) goes to the desktop directory's file-system folder,
// so in-place label editing on the desktop renames the file as on Windows.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace testshell {

class DesktopFolder final : public IShellFolder {
public:
    // inner: the desktop folder; files: the desktop directory's folder.
    DesktopFolder(IShellFolder* inner, IShellFolder* files) noexcept : inner_(inner), files_(files) {}
    DesktopFolder(const DesktopFolder&) = delete;
    DesktopFolder& operator=(const DesktopFolder&) = delete;

    // IUnknown: other interfaces (IShellFolder2, IPersistFolder2, ...) are the inner folder's.
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    IFACEMETHODIMP_(ULONG) Release() override;

    // IShellFolder
    IFACEMETHODIMP ParseDisplayName(HWND hwnd, IBindCtx* bc, LPWSTR name, ULONG* eaten, PIDLIST_RELATIVE* pidl,
                                    ULONG* attrs) override {
        return inner_->ParseDisplayName(hwnd, bc, name, eaten, pidl, attrs);
    }
    IFACEMETHODIMP EnumObjects(HWND hwnd, SHCONTF flags, IEnumIDList** list) override {
        return inner_->EnumObjects(hwnd, flags, list);
    }
    IFACEMETHODIMP BindToObject(PCUIDLIST_RELATIVE pidl, IBindCtx* bc, REFIID riid, void** ppv) override {
        return inner_->BindToObject(pidl, bc, riid, ppv);
    }
    IFACEMETHODIMP BindToStorage(PCUIDLIST_RELATIVE pidl, IBindCtx* bc, REFIID riid, void** ppv) override {
        return inner_->BindToStorage(pidl, bc, riid, ppv);
    }
    IFACEMETHODIMP CompareIDs(LPARAM how, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) override {
        return inner_->CompareIDs(how, a, b);
    }
    IFACEMETHODIMP CreateViewObject(HWND owner, REFIID riid, void** ppv) override {
        return inner_->CreateViewObject(owner, riid, ppv);
    }
    IFACEMETHODIMP GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY pidls, SFGAOF* attrs) override {
        return inner_->GetAttributesOf(count, pidls, attrs);
    }
    IFACEMETHODIMP GetUIObjectOf(HWND owner, UINT count, PCUITEMID_CHILD_ARRAY pidls, REFIID riid, UINT* reserved,
                                 void** ppv) override {
        return inner_->GetUIObjectOf(owner, count, pidls, riid, reserved, ppv);
    }
    IFACEMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD pidl, SHGDNF flags, STRRET* name) override {
        return inner_->GetDisplayNameOf(pidl, flags, name);
    }
    IFACEMETHODIMP SetNameOf(HWND hwnd, PCUITEMID_CHILD pidl, LPCWSTR name, SHGDNF flags,
                             PITEMID_CHILD* out) override;

private:
    ~DesktopFolder() = default;

    LONG refs_ = 1;
    Microsoft::WRL::ComPtr<IShellFolder> inner_;
    Microsoft::WRL::ComPtr<IShellFolder> files_;
};

}  // namespace testshell
