#include "player.h"

#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>

#include "ani_reader.h"
#include "fx/handles.h"

namespace engine {
namespace {

// How long a player waits for its window to repaint a square before it captures the
// background anyway (a window that has stopped painting must not stall it for good).
constexpr DWORD kRepaintWaitMs = 500;
constexpr DWORD kRepaintPollMs = 4;
// After the window's thread has begun painting the square (its update region no
// longer covers it), the time we give that painting to finish before we copy it.
constexpr DWORD kPaintSettleMs = 8;

enum SlotState : LONG { kFree = 0, kStarting, kRunning, kEnding };

// One player. The caller's side (stop, move, pause) writes only the atomics and sets
// `wake`; the player's thread owns everything else. The thread closes the events
// only once no caller is inside an operation on them (`users`), so a caller can never
// signal a handle that has been closed and reused.
struct PlayerSlot {
    std::atomic<LONG> state{kFree};
    std::atomic<LONG> users{0};
    std::atomic<uint64_t> position{0};   // x in the low half, y in the high half
    std::atomic<uint32_t> moves{0};      // bumped by the start and by every move
    std::atomic<uint32_t> capturedAt{0}; // `moves` as of the last background capture
    std::atomic<LONG> stopRequested{0};
    std::atomic<LONG> pauses{0};
    HWND window = nullptr;
    int side = 0;
    HANDLE wake = nullptr;      // auto-reset: a stop, move, pause or resume came
    HANDLE standing = nullptr;  // manual-reset: the player stands still (or has ended)
    HMODULE module = nullptr;   // our reference, dropped as the thread exits
    fx::AniAnimation anim;
};

PlayerSlot g_slots[kMaxPlayers];

// Non-zero while a player (or the one-shot) copies to or from the screen. One at a
// time per process: the others skip that copy (a frame) or try again a moment later
// (a capture) instead of waiting, and the window's DC cache never has to grow for us.
std::atomic<LONG> g_drawingCount{0};

class ScreenTurn {
public:
    ScreenTurn() noexcept {
        LONG idle = 0;
        mine_ = g_drawingCount.compare_exchange_strong(idle, 1);
    }
    ~ScreenTurn() {
        if (mine_) g_drawingCount.store(0);
    }
    ScreenTurn(const ScreenTurn&) = delete;
    ScreenTurn& operator=(const ScreenTurn&) = delete;
    explicit operator bool() const noexcept { return mine_; }

private:
    bool mine_;
};

uint64_t Pack(int x, int y) noexcept {
    return uint64_t(uint32_t(x)) | uint64_t(uint32_t(y)) << 32;
}

POINT Unpack(uint64_t v) noexcept {
    return {LONG(int32_t(uint32_t(v))), LONG(int32_t(uint32_t(v >> 32)))};
}

// 16.6 ms a jiffy. The reader keeps rates within [kAniMinRate, kAniMaxRate]; the clamp
// here keeps that true whatever fills the record, so no step is 0 ms long.
DWORD StepMs(uint32_t rate) noexcept {
    if (rate < fx::kAniMinRate) rate = fx::kAniMinRate;
    if (rate > fx::kAniMaxRate) rate = fx::kAniMaxRate;
    return 166u * rate / 10u;
}

PlayerSlot* SlotOf(int handle) noexcept {
    return handle >= 1 && handle <= kMaxPlayers ? &g_slots[handle - 1] : nullptr;
}

// A caller's use of a running player's slot, for as long as it touches its events.
class SlotUse {
public:
    explicit SlotUse(int handle) noexcept : slot_(SlotOf(handle)) {
        if (!slot_) return;
        slot_->users.fetch_add(1);
        if (slot_->state.load() != kRunning) {
            slot_->users.fetch_sub(1);
            slot_ = nullptr;
        }
    }
    ~SlotUse() {
        if (slot_) slot_->users.fetch_sub(1);
    }
    SlotUse(const SlotUse&) = delete;
    SlotUse& operator=(const SlotUse&) = delete;
    explicit operator bool() const noexcept { return slot_ != nullptr; }
    PlayerSlot* operator->() const noexcept { return slot_; }

private:
    PlayerSlot* slot_;
};

// A memory DC with a side x side 32-bit bitmap of its own. Made without the window's
// DC, so a player touches the window's DC only to copy to or from the screen.
class Surface {
public:
    bool Create(int side) noexcept {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = side;
        info.bmiHeader.biHeight = -side;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc_.reset(CreateCompatibleDC(nullptr));
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc_ || !bitmap_) return false;
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        return previous_ != nullptr;
    }
    ~Surface() {
        if (previous_) SelectObject(dc_.get(), previous_);
    }
    HDC dc() const noexcept { return dc_.get(); }

private:
    fx::UniqueBitmap bitmap_;  // declared first: deleted after the DC
    fx::UniqueMemDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// What a player draws with: the saved background under its square and a work
// surface where each frame is put together before it goes to the screen.
class Canvas {
public:
    explicit Canvas(int side) noexcept : side_(side) {
        ready_ = background_.Create(side) && work_.Create(side);
        updateRegion_.reset(CreateRectRgn(0, 0, 0, 0));
        ready_ = ready_ && updateRegion_;
    }
    explicit operator bool() const noexcept { return ready_; }

    // Copies the window's square into the background; false while another copy to or
    // from the screen is under way.
    bool Capture(HWND window, POINT at) noexcept {
        ScreenTurn turn;
        if (!turn) return false;
        fx::WindowDC screen(window);
        if (screen) BitBlt(background_.dc(), 0, 0, side_, side_, screen.get(), at.x, at.y, SRCCOPY);
        return true;
    }

    void Compose(HIMAGELIST frames, uint32_t frame) noexcept {
        BitBlt(work_.dc(), 0, 0, side_, side_, background_.dc(), 0, 0, SRCCOPY);
        // A step may name a frame the file does not have: then only the background shows.
        if (frames && frame < uint32_t(ImageList_GetImageCount(frames)))
            ImageList_Draw(frames, int(frame), work_.dc(), 0, 0, ILD_TRANSPARENT);
    }

    // Copies the composed frame to the window, unless another copy is under way: then
    // this frame is skipped.
    void CopyTo(HWND window, POINT at) noexcept {
        ScreenTurn turn;
        if (!turn) return;
        fx::WindowDC screen(window);
        if (screen) BitBlt(screen.get(), at.x, at.y, side_, side_, work_.dc(), 0, 0, SRCCOPY);
    }

    // True while the window has not yet begun repainting any part of the square.
    bool AwaitsPaint(HWND window, const RECT& square) noexcept {
        return GetUpdateRgn(window, updateRegion_.get(), FALSE) > NULLREGION &&
               RectInRegion(updateRegion_.get(), &square);
    }

private:
    int side_;
    bool ready_ = false;
    Surface background_;
    Surface work_;
    fx::UniqueRgn updateRegion_;
};

// The target window must lie under a corner of the square (the top-left one, or the
// point just past the bottom-right one) for a frame to be drawn.
bool TargetVisible(HWND window, POINT at, int side) noexcept {
    POINT a = at, b = {at.x + side, at.y + side};
    if (!ClientToScreen(window, &a) || !ClientToScreen(window, &b)) return false;
    return WindowFromPoint(a) == window || WindowFromPoint(b) == window;
}

bool Interrupted(const PlayerSlot& s) noexcept {
    return s.stopRequested.load() != 0 || s.pauses.load() > 0;
}

// Sleeps ms; false as soon as a stop or pause comes.
bool Nap(PlayerSlot& s, DWORD ms) noexcept {
    const DWORD begun = GetTickCount();
    for (;;) {
        if (Interrupted(s)) return false;
        DWORD elapsed = GetTickCount() - begun;
        if (elapsed >= ms) return true;
        WaitForSingleObject(s.wake, ms - elapsed);
    }
}

// Has the window repaint the square, then keeps what it painted as the background.
// The window's own thread does the painting; we never send it anything, so it never
// waits for us. False when a stop or pause came first.
bool RepaintAndCapture(PlayerSlot& s, Canvas& canvas, POINT at) noexcept {
    RECT square = {at.x, at.y, at.x + s.side, at.y + s.side};
    InvalidateRect(s.window, &square, TRUE);
    const DWORD begun = GetTickCount();
    while (canvas.AwaitsPaint(s.window, square) && GetTickCount() - begun < kRepaintWaitMs) {
        if (!Nap(s, kRepaintPollMs)) return false;
    }
    if (!Nap(s, kPaintSettleMs)) return false;
    while (!canvas.Capture(s.window, at)) {
        if (!Nap(s, 1)) return false;
    }
    return true;
}

// Shows one frame at the player's current place, capturing the background first after
// a start or move. `shownMoves` is the move it was shown for. False when a stop or
// pause cut it short.
bool Show(PlayerSlot& s, Canvas& canvas, uint32_t frame, uint32_t& shownMoves) noexcept {
    const uint32_t moves = s.moves.load();
    const POINT at = Unpack(s.position.load());
    shownMoves = moves;
    if (!canvas || !TargetVisible(s.window, at, s.side)) return true;
    if (s.capturedAt.load() != moves) {
        if (!RepaintAndCapture(s, canvas, at)) return false;
        s.capturedAt.store(moves);
    }
    canvas.Compose(s.anim.frames, frame);
    canvas.CopyTo(s.window, at);
    return true;
}

// Waits out a step that began at `begun`; a move shows the frame at its new place at
// once. False when a stop or pause cut it short.
bool SleepStep(PlayerSlot& s, Canvas& canvas, uint32_t frame, DWORD begun, DWORD ms,
               uint32_t& shownMoves) noexcept {
    for (;;) {
        if (Interrupted(s)) return false;
        if (s.moves.load() != shownMoves && !Show(s, canvas, frame, shownMoves)) return false;
        DWORD elapsed = GetTickCount() - begun;
        if (elapsed >= ms) return true;
        WaitForSingleObject(s.wake, ms - elapsed);
    }
}

// Acknowledges a pause and draws nothing until every pause is released or a stop comes.
void StandStill(PlayerSlot& s) noexcept {
    SetEvent(s.standing);
    while (s.pauses.load() > 0 && s.stopRequested.load() == 0) WaitForSingleObject(s.wake, INFINITE);
    ResetEvent(s.standing);
}

void Play(PlayerSlot& s) noexcept {
    Canvas canvas(s.side);
    const fx::AniAnimation& anim = s.anim;
    uint32_t step = 0;
    uint32_t shownMoves = 0;
    for (;;) {
        if (s.stopRequested.load() != 0) return;
        if (s.pauses.load() > 0) {
            StandStill(s);
            continue;
        }
        if (anim.stepCount == 0) {
            // Nothing to show: sleep until something is asked of us.
            WaitForSingleObject(s.wake, INFINITE);
            continue;
        }
        // A stop or pause in the middle of a step shows the same step again afterwards.
        const uint32_t frame = anim.steps[step].frame;
        const DWORD begun = GetTickCount();
        if (!Show(s, canvas, frame, shownMoves)) continue;
        if (!SleepStep(s, canvas, frame, begun, StepMs(anim.steps[step].rate), shownMoves)) continue;
        step = (step + 1) % anim.stepCount;
    }
}

// Gives back what the slot holds once no caller is using it, and frees it.
void ReleaseSlot(PlayerSlot& s) noexcept {
    s.state.store(kEnding);
    if (s.standing) SetEvent(s.standing);  // a PausePlayer waiting for us gives up at once
    while (s.users.load() != 0) Sleep(1);
    for (HANDLE* event : {&s.wake, &s.standing}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
    fx::FreeAniAnimation(&s.anim);
    s.window = nullptr;
    s.module = nullptr;
    s.state.store(kFree);
}

DWORD WINAPI PlayerThread(void* param) {
    PlayerSlot& s = *static_cast<PlayerSlot*>(param);
    HMODULE module = s.module;
    Play(s);
    ReleaseSlot(s);
    // The engine may leave the process once its last player is gone; this returns
    // into the system, not into the engine's code.
    if (module) FreeLibraryAndExitThread(module, 0);
    return 0;
}

bool Launch(PlayerSlot& s, HWND window, int x, int y, const char* path, int side) noexcept {
    if (!fx::LoadAniFile(path, side, &s.anim)) return false;
    s.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    s.standing = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The thread runs the engine's code: it keeps the engine loaded while it does.
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&PlayerThread), &module);
    s.window = window;
    s.side = side;
    s.module = module;
    s.position.store(Pack(x, y));
    s.capturedAt.store(s.moves.load());
    s.moves.fetch_add(1);
    s.stopRequested.store(0);
    s.pauses.store(0);
    if (s.wake && s.standing) {
        s.state.store(kRunning);
        DWORD id = 0;
        if (HANDLE thread = CreateThread(nullptr, 0, PlayerThread, &s, 0, &id)) {
            SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
            CloseHandle(thread);
            return true;
        }
    }
    ReleaseSlot(s);
    if (module) FreeLibrary(module);
    return false;
}

}  // namespace

int StartPlayer(HWND window, int x, int y, const char* path, int side) noexcept {
    if (!path || side < 1 || side > fx::kAniMaxIconSize) return 0;
    for (int i = 0; i < kMaxPlayers; ++i) {
        LONG free = kFree;
        if (!g_slots[i].state.compare_exchange_strong(free, kStarting)) continue;
        if (Launch(g_slots[i], window, x, y, path, side)) return i + 1;
        g_slots[i].state.store(kFree);
        return 0;
    }
    return 0;
}

void StopPlayer(int handle) noexcept {
    SlotUse s(handle);
    if (!s) return;
    s->stopRequested.store(1);
    SetEvent(s->wake);
}

void MovePlayer(int handle, int x, int y) noexcept {
    SlotUse s(handle);
    if (!s) return;
    s->position.store(Pack(x, y));
    s->moves.fetch_add(1);
    SetEvent(s->wake);
}

bool PlayerRecapturePending(int handle) noexcept {
    SlotUse s(handle);
    return s && s->moves.load() != s->capturedAt.load();
}

bool PausePlayer(int handle, DWORD timeoutMs) noexcept {
    SlotUse s(handle);
    if (!s) return false;
    s->pauses.fetch_add(1);
    SetEvent(s->wake);
    // `standing` may still be set from a pause that has just been released: the player
    // checks for pauses again before it draws anything, so it is standing still then.
    if (WaitForSingleObject(s->standing, timeoutMs) == WAIT_OBJECT_0 && s->state.load() == kRunning &&
        s->stopRequested.load() == 0)
        return true;
    s->pauses.fetch_sub(1);
    SetEvent(s->wake);
    return false;
}

void ResumePlayer(int handle) noexcept {
    SlotUse s(handle);
    if (!s) return;
    LONG n = s->pauses.load();
    while (n > 0 && !s->pauses.compare_exchange_weak(n, n - 1)) {
    }
    if (n > 0) SetEvent(s->wake);
}

HICON CopyPlayerFirstFrame(int handle) noexcept {
    SlotUse s(handle);
    if (!s || s->pauses.load() <= 0 || WaitForSingleObject(s->standing, 0) != WAIT_OBJECT_0) return nullptr;
    if (!s->anim.frames || ImageList_GetImageCount(s->anim.frames) < 1) return nullptr;
    return ImageList_GetIcon(s->anim.frames, 0, ILD_TRANSPARENT);
}

bool AnyPlayerInUse() noexcept {
    for (const PlayerSlot& s : g_slots)
        if (s.state.load() != kFree) return true;
    return false;
}

void StopAllPlayers() noexcept {
    for (int handle = 1; handle <= kMaxPlayers; ++handle) StopPlayer(handle);
}

int PlayAniOnce(HWND window, int x, int y, const char* path, int side, DWORD maxMs) noexcept {
    if (!path || side < 1 || side > fx::kAniMaxIconSize) return 0;
    fx::AniAnimation anim;
    if (!fx::LoadAniFile(path, side, &anim)) return 0;
    {
        Canvas canvas(side);
        const POINT at = {x, y};
        for (int tries = 0; canvas && !canvas.Capture(window, at) && tries < 50; ++tries) Sleep(1);
        // Steps are left out by when they were due, not by the clock, so the cut
        // falls at the same step on a slow machine.
        DWORD due = 0;
        for (uint32_t i = 0; i < anim.stepCount && due < maxMs; ++i) {
            if (canvas) {
                canvas.Compose(anim.frames, anim.steps[i].frame);
                canvas.CopyTo(window, at);
            }
            DWORD ms = StepMs(anim.steps[i].rate);
            if (ms > maxMs - due) ms = maxMs - due;
            Sleep(ms);
            due += ms;
        }
    }
    fx::FreeAniAnimation(&anim);
    return 1;
}

}  // namespace engine
