// The DLL as its outside callers see it: exports by name and ordinal, and the
// association-change notification reaching a registered shell listener.
#include "support.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

using sysapply_test::InstalledApplier;

TEST(SysapplyExports, NamesCarryTheirOrdinals) {
    const HMODULE dll = InstalledApplier().dll;
    ASSERT_TRUE(dll) << "sysapply.dll not installed in " FX_DIST_DIR;
    const struct {
        const char* name;
        WORD ordinal;
    } rows[] = {
        {sysapply::kShChangeNotifyName, 2},
        {sysapply::kProcessIconMetricsName, 3},
        {sysapply::kProcessRegColorsName, 4},
    };
    for (const auto& r : rows) {
        FARPROC byName = GetProcAddress(dll, r.name);
        EXPECT_TRUE(byName) << r.name;
        EXPECT_EQ(byName, GetProcAddress(dll, MAKEINTRESOURCEA(r.ordinal))) << r.name;
    }
}

// A listener window that counts SHCNE_ASSOCCHANGED notifications.
class AssocListener {
public:
    static constexpr UINT kMsg = WM_APP + 7;
    AssocListener() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "FxSysapplyAssocListener";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop_);
        SHChangeNotifyEntry entry{desktop_, TRUE};
        id_ = SHChangeNotifyRegister(hwnd_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ASSOCCHANGED, kMsg, 1,
                                     &entry);
    }
    AssocListener(const AssocListener&) = delete;
    AssocListener& operator=(const AssocListener&) = delete;
    ~AssocListener() {
        if (id_) SHChangeNotifyDeregister(id_);
        CoTaskMemFree(desktop_);
        DestroyWindow(hwnd_);
    }
    bool registered() const { return id_ != 0; }
    static inline int heard = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kMsg && (static_cast<LONG>(lp) & SHCNE_ASSOCCHANGED)) ++heard;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
    LPITEMIDLIST desktop_ = nullptr;
    ULONG id_ = 0;
};

TEST(SysapplyNotify, ShellListenersHearOfTheChangeBeforeItReturns) {
    ASSERT_TRUE(InstalledApplier().ok());
    AssocListener listener;
    if (!listener.registered()) GTEST_SKIP() << "this shell takes no change listeners";
    AssocListener::heard = 0;
    InstalledApplier().notify();
    EXPECT_EQ(AssocListener::heard, 1);
}

}  // namespace
