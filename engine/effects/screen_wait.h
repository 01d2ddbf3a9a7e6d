// Waiting between the steps of an effect.
#pragma once
#include <windows.h>

namespace engine {

// Waits ms milliseconds without taking any message. Unlike Sleep it lets the
// system put what this thread drew on the screen first: Wine keeps a thread's
// drawing in the window's surface until the thread waits through the message
// machinery.
inline void ShowAndWait(DWORD ms) noexcept { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, 0); }

}  // namespace engine
