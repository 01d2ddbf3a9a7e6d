#include "message_handler.h"

namespace engine {

// Folder hover, rename and minimize/restore handling arrive with the hooks.
void HandleShellMessage(HWND, UINT, WPARAM, LPARAM) noexcept {}

}  // namespace engine
