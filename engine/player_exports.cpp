// The players as the engine exports them (ordinals 1 to 3), in squares of the
// engine's icon size. Results follow the suite's export convention: a handle or 0,
// and a constant 1 that callers ignore.
#include "engine_state.h"
#include "player.h"

extern "C" LONG WINAPI fxStartAni(HWND window, LONG x, LONG y, const char* path) {
    return engine::StartPlayer(window, x, y, path, iconSize);
}

extern "C" BOOL WINAPI fxStopAni(LONG handle) {
    engine::StopPlayer(handle);
    return TRUE;
}

extern "C" BOOL WINAPI fxMoveAni(LONG handle, LONG x, LONG y) {
    engine::MovePlayer(handle, x, y);
    return TRUE;
}

namespace engine {

int PlayAniOnce(HWND window, int x, int y, const char* path) noexcept {
    return PlayAniOnce(window, x, y, path, iconSize);
}

}  // namespace engine
