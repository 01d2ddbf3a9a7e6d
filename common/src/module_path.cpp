#include "fx/module_path.h"

#include "fx/text.h"

namespace fx {

bool ModuleDirectory(HMODULE module, char* dst, size_t cap) noexcept {
    if (!dst || cap == 0) return false;
    dst[0] = '\0';
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    path[n] = '\0';
    while (n > 0 && path[n - 1] != '\\') --n;
    path[n] = '\0';
    if (n + 1 > cap) return false;
    return CopyText(dst, cap, path);
}

bool PathBesideModule(HMODULE module, const char* name, char* dst, size_t cap) noexcept {
    if (!ModuleDirectory(module, dst, cap)) return false;
    if (!AppendText(dst, cap, name)) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace fx
