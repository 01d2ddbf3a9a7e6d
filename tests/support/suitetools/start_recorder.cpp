// A stand-in for a program the suite starts by name (the settings program): each
// start appends one line to "starts.log" beside the executable, then it ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    std::string log(path, n);
    log.erase(log.find_last_of('\\') + 1);
    log += "starts.log";
    if (FILE* f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "start %s\n", cmdLine ? cmdLine : "");
        std::fclose(f);
    }
    return 0;
}
