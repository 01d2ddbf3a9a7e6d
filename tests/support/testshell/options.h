// Command line of testshell.exe:
//   --desktop DIR    show DIR on the desktop instead of the user's desktop folder
//   --state FILE     where WM_APP+10 writes the state (default %TEMP%\testshell-state.txt)
//   --two-progman    first create an old Program Manager window of class "Progman"
#pragma once
#include <string>

namespace testshell {

struct Options {
    std::wstring desktopDir;
    std::wstring statePath;
    bool twoProgman = false;
};

// False (with a message in error) on an unknown option or a missing value.
bool ParseOptions(int argc, const wchar_t* const* argv, Options& out, std::wstring& error);

}  // namespace testshell
