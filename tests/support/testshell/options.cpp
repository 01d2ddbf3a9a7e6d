#include "options.h"

#include <windows.h>

namespace testshell {
namespace {

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : path;
}

std::wstring DefaultStatePath() {
    wchar_t temp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, temp);
    std::wstring dir = n > 0 && n < MAX_PATH ? std::wstring(temp) : std::wstring(L".\\");
    return dir + L"testshell-state.txt";
}

}  // namespace

bool ParseOptions(int argc, const wchar_t* const* argv, Options& out, std::wstring& error) {
    out = Options{};
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&](std::wstring& into) {
            if (i + 1 >= argc) {
                error = arg + L" needs a value";
                return false;
            }
            into = FullPath(argv[++i]);
            return true;
        };
        if (arg == L"--desktop") {
            if (!value(out.desktopDir)) return false;
        } else if (arg == L"--state") {
            if (!value(out.statePath)) return false;
        } else if (arg == L"--two-progman") {
            out.twoProgman = true;
        } else {
            error = L"unknown option " + arg;
            return false;
        }
    }
    if (out.statePath.empty()) out.statePath = DefaultStatePath();
    return true;
}

}  // namespace testshell
