// What the player tests watch: a real window on screen, on a thread of its own as
// the shell's desktop is, whose pixels the tests read back; ANI files made from a
// few lines; and waiting for the players of this process to end.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "ani_writer.h"

namespace fxtest {

constexpr uint32_t kBackground = 0x305070;  // 0xRRGGBB, a colour no test frame has

COLORREF ToColorRef(uint32_t rrggbb);
uint32_t ToRgb(COLORREF c);

// A topmost popup filled with kBackground, its messages pumped by a thread of its own.
class ScreenWindow {
public:
    explicit ScreenWindow(RECT screen = {100, 100, 300, 260});
    ~ScreenWindow();
    ScreenWindow(const ScreenWindow&) = delete;
    ScreenWindow& operator=(const ScreenWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The colour shown at a client point, 0xRRGGBB.
    uint32_t Pixel(int x, int y) const;
    // Keeps the window's thread from taking messages for ms (posted; returns at once).
    void Block(DWORD ms);
    // Repaints the whole window now, on its own thread.
    void Repaint();
    int paints() const { return paints_.load(); }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void Run(RECT screen, HANDLE ready);
    HWND hwnd_ = nullptr;
    std::thread thread_;
    std::atomic<int> paints_{0};
};

// An ANI file in the temporary folder, made by the test writer.
std::string WriteAni(const ani::AniRecipe& recipe, const std::string& name);

// Polls pred every few milliseconds; false when it is still false after ms.
template <class Pred>
bool WaitFor(Pred pred, DWORD ms = 3000) {
    const DWORD begun = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - begun >= ms) return false;
        Sleep(2);
    }
    return true;
}

// Milliseconds pred takes to become true (polled), or ~0u past the limit.
template <class Pred>
DWORD TimeUntil(Pred pred, DWORD limit = 3000) {
    const DWORD begun = GetTickCount();
    return WaitFor(pred, limit) ? GetTickCount() - begun : ~0u;
}

}  // namespace fxtest

namespace fxtest {

// The colour at the centre of an icon drawn with its mask on white, 0xRRGGBB.
uint32_t IconCentre(HICON icon);

// Process CPU time over the next ms milliseconds, as a share of one core.
double CpuShareOver(DWORD ms);

}  // namespace fxtest
