// fxuninst: asks the running loader to close, so the hooks come out of the shell
// and the installed files are free, then starts the uninstaller the installer
// recorded. Windowless, never waits, never reports: the exit code is always 0.
#include <fx/handles.h>
#include <fx/names.h>

#include <windows.h>

#include <cstring>

namespace {

constexpr size_t kCommandSize = 260;
constexpr char kUninstallValue[] = "UninstallString";

// The recorded command line, or empty when the key or value is missing, is not
// text, or does not fit the buffer with its terminating zero: a command cut to
// the buffer must never run.
void ReadUninstallCommand(char (&command)[kCommandSize]) noexcept {
    command[0] = '\0';
    fx::UniqueRegKey key;
    // Reading needs no more than query access; asking for more would fail for a
    // standard user under HKEY_LOCAL_MACHINE.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fx::kUninstallKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = kCommandSize;
    if (RegQueryValueExA(key.get(), kUninstallValue, nullptr, &type, reinterpret_cast<BYTE*>(command), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        command[0] = '\0';
        return;
    }
    if (size < kCommandSize) {
        command[size] = '\0';  // stored data need not end in a zero
    } else if (!std::memchr(command, '\0', kCommandSize)) {
        command[0] = '\0';  // fills the buffer with no room for its end
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (HWND loader = FindWindowA(fx::kLoaderClass, nullptr)) PostMessageA(loader, WM_CLOSE, 0, 0);
    char command[kCommandSize];
    ReadUninstallCommand(command);
    if (command[0] != '\0') WinExec(command, SW_SHOWNORMAL);
    return 0;
}
