#include "old_progman_window.h"

namespace testshell {

bool OldProgmanWindow::Create() {
    if (!RegisterClassOnceA("Progman", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1), nullptr))
        return false;
    return CreateA(0, "Progman", "Program Manager", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90, 420, 300, nullptr,
                   nullptr) != nullptr;
}

}  // namespace testshell
