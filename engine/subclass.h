// Replacing the procedure of a window the engine does not own, and giving it back.
#pragma once
#include <windows.h>

namespace engine {

// One replaced window procedure. The previous procedure is called for every message;
// it is given back only while the window still runs ours, since handing it back
// after someone else chained onto us would cut them off.
class Subclass {
public:
    // Replaces the procedure of hwnd with proc; false when the window is gone.
    bool Install(HWND hwnd, WNDPROC proc) noexcept;
    // Gives the previous procedure back. False when someone else replaced ours in the
    // meantime: our procedure then stays in their chain and must stay callable.
    bool Remove() noexcept;
    // The window has been destroyed: nothing to give back.
    void Forget() noexcept { hwnd_ = nullptr; installed_ = false; }

    LRESULT CallPrevious(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const noexcept;
    bool installed() const noexcept { return installed_; }
    HWND window() const noexcept { return hwnd_; }
    WNDPROC previous() const noexcept { return prev_; }

private:
    HWND hwnd_ = nullptr;
    WNDPROC proc_ = nullptr;
    WNDPROC prev_ = nullptr;
    bool installed_ = false;
};

}  // namespace engine
