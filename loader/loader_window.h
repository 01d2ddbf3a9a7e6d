// The loader's hidden mailbox window and everything it answers.
#pragma once
#include <windows.h>

namespace loader {

inline constexpr UINT IDM_ABOUT = 11000;
inline constexpr UINT IDM_EXIT = 11002;
inline constexpr UINT IDM_REFRESH_ICONS = 11003;
inline constexpr UINT IDM_OPEN_SETTINGS = 11005;
inline constexpr UINT_PTR TIMER_LAUNCH_GUARD = 101;
inline constexpr UINT_PTR TIMER_START_ANIMATIONS = 88;

class LoaderWindow {
public:
    static bool RegisterClass(HINSTANCE instance) noexcept;
    // Creates the (hidden) window; null on failure.
    HWND Create(HINSTANCE instance) noexcept;

    // Starts every animation listed in the registry, then counts animation as on.
    void StartListedAnimations() noexcept;
    bool animationsOn() const noexcept { return animationsOn_; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    void OnCreate() noexcept;
    void OnDestroy() noexcept;
    void OnCommand(UINT id) noexcept;
    void OnTrayNotify(WPARAM id, LPARAM mouse) noexcept;
    void OnTrayIcon(WPARAM on) noexcept;
    void ShowTrayMenu() noexcept;

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    bool inTray_ = true;
    bool animationsOn_ = true;
    bool launchGuard_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace loader
