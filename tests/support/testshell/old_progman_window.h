// An old Program Manager application window: class "Progman" too, but an ordinary
// overlapped window. With it first in Z order, finding the desktop must skip it.
#pragma once
#include "window.h"

namespace testshell {

class OldProgmanWindow final : public Window {
public:
    bool Create();
};

}  // namespace testshell
