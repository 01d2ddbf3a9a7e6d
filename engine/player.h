// Animated icon players: an ANI animation shown at a point of a window, frame after
// frame, on a thread of its own, until it is told to stop. Each process has its own
// table of 50 players; a player is addressed by its handle, the slot index plus 1
// (0 means none).
//
// Players run inside the shell, so no call here waits for a player to finish a frame:
// stop, move and the stop-all of an unhook only leave a request and wake the player.
// A player gives back everything it holds (device contexts, bitmaps, frames, events,
// its reference on the engine module) on its own thread when it ends; only then is
// its slot free again.
#pragma once
#include <windows.h>

namespace engine {

constexpr int kMaxPlayers = 50;

// How long PausePlayer waits by default for a player to stand still. A player stands
// still within one frame copy, or at once while it waits for its window to repaint.
constexpr DWORD kPauseTimeoutMs = 500;

// Longest run of PlayAniOnce: it blocks its caller (the shell's thread, for the launch
// effect), and a sequence made for a looping cursor can last minutes.
constexpr DWORD kPlayOnceMaxMs = 4000;

// Starts a player for the ANI file at (x, y) of window's client area, drawing squares
// of side pixels. The file is read before this returns. Returns the handle (1 to 50),
// or 0 when no slot is free, the file cannot be read, or no thread can be made.
int StartPlayer(HWND window, int x, int y, const char* path, int side) noexcept;

// Asks the player to end and returns at once. The last frame it drew stays on the
// window until the window repaints that square. Handles outside 1..50, and slots
// without a running player, are ignored.
void StopPlayer(int handle) noexcept;

// Moves the player's square. Before it draws there it has the window repaint the new
// square and captures it as its background; the old square is the caller's to repaint.
void MovePlayer(int handle, int x, int y) noexcept;

// True from a start or a move until the player has captured the background there.
bool PlayerRecapturePending(int handle) noexcept;

// Holds a running player still at a step boundary, for an effect that draws over its
// square (the launch effect). Returns true once the player has acknowledged: it draws
// nothing until ResumePlayer, which the caller must then call exactly once. Returns
// false, and leaves the player as it was, when the handle is not a running player or
// it did not stand still within timeoutMs. Pauses nest; a stop ends a paused player.
// Nothing is suspended: a paused player holds no lock of the heap, GDI or this table.
bool PausePlayer(int handle, DWORD timeoutMs = kPauseTimeoutMs) noexcept;
// Lets a paused player go on: it shows its current frame again at once (capturing the
// background first if its square was repainted meanwhile).
void ResumePlayer(int handle) noexcept;

// A copy of the first frame (image 0) of a paused player, drawn with its mask; the
// caller destroys it. Null unless the player stands still in a PausePlayer.
HICON CopyPlayerFirstFrame(int handle) noexcept;

// True while any slot holds a player that has not yet given back everything.
bool AnyPlayerInUse() noexcept;
// Asks every player of this process to end (StopPlayer on each).
void StopAllPlayers() noexcept;

// Shows the file's sequence once at (x, y) of window, on the caller's thread, over the
// background captured there at the start, and returns when done: 1, or 0 when the file
// cannot be read. The last frame stays on the window; the caller repaints the spot.
// Steps that would run past maxMs are left out.
int PlayAniOnce(HWND window, int x, int y, const char* path, int side, DWORD maxMs = kPlayOnceMaxMs) noexcept;
// The same in squares of the engine's icon size (defined by the engine module).
int PlayAniOnce(HWND window, int x, int y, const char* path) noexcept;

// The player of the animation shown in place of the desktop list view's item, or 0
// when that item does not animate (defined by the desktop animation manager).
int DesktopItemPlayer(int itemIndex) noexcept;

}  // namespace engine
