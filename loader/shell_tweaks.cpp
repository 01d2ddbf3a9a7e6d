#include "shell_tweaks.h"

#include "fx/handles.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "fx/shell_windows.h"
#include "fx/text.h"

#include <cstdio>
#include <cstring>

namespace loader {
namespace {

constexpr char kIsShortcut[] = "IsShortcut";
// A hung shell must not hang the loader.
constexpr UINT kShellTimeoutMs = 5000;

void ClassOf(const char* extension, char* name, size_t cap) noexcept {
    fx::ReadRegString(HKEY_CLASSES_ROOT, extension, nullptr, name, cap);
}

bool SetIsShortcut(HKEY key, bool present) noexcept {
    if (present) return RegSetValueExA(key, kIsShortcut, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) == 0;
    return RegDeleteValueA(key, kIsShortcut) == 0;
}

void WriteIconSize(HKEY key, const char* text) noexcept {
    RegSetValueExA(key, fx::kShellIconSize, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

void TellDesktop() noexcept {
    if (HWND desktop = fx::FindDesktopWindow()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(desktop, WM_WININICHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_NORMAL, kShellTimeoutMs,
                            &ignored);
    }
}

}  // namespace

void SetShortcutArrows(bool remove) noexcept {
    char name[fx::kRegTextSize];
    ClassOf(".lnk", name, sizeof name);
    if (name[0]) {
        fx::UniqueRegKey key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_ALL_ACCESS, key.put()) == 0) {
            bool present = RegQueryValueExA(key.get(), kIsShortcut, nullptr, nullptr, nullptr, nullptr) == 0;
            // Already as asked: leave everything alone, icons included.
            if (remove != present) return;
            SetIsShortcut(key.get(), !remove);
        }
    }
    ClassOf(".pif", name, sizeof name);
    if (name[0]) {
        fx::UniqueRegKey key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_ALL_ACCESS, key.put()) == 0) SetIsShortcut(key.get(), !remove);
    }
    RefreshDesktopIcons();
}

void RefreshDesktopIcons() noexcept {
    fx::UniqueRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, fx::kWindowMetricsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.put(), nullptr) != 0)
        return;
    char original[24];
    if (!fx::QueryText(key.get(), fx::kShellIconSize, original, sizeof original) || original[0] == '\0')
        fx::CopyText(original, "32");
    int size = fx::LeadingNumber(original);

    char smaller[16];
    std::snprintf(smaller, sizeof smaller, "%d", size > 1 ? size - 1 : 1);

    // Whatever happens in between, the user's size goes back.
    struct Restore {
        HKEY key;
        const char* text;
        ~Restore() {
            WriteIconSize(key, text);
            TellDesktop();
        }
    } restore{key.get(), original};

    WriteIconSize(key.get(), smaller);
    TellDesktop();
}

}  // namespace loader
