// Test double for an uninstaller: records that it ran, and with which command
// line, as one file per run (run-<pid>.txt) in the folder named by its first
// argument, so runs started close together never share a file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::string path = argv[1];
    path += "\\run-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const char* line = GetCommandLineA();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(f);
    return 0;
}
