// enginecall.exe DIST_DIR start|stop ANI_FILE LABEL
// Calls the installed engine's start/stop request from a process of its own, the
// way the loader and the settings program do; prints the result (1 or 0).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: enginecall DIST_DIR start|stop ANI_FILE LABEL\n");
        return 2;
    }
    std::string dll = std::string(argv[1]) + "\\fxengine.dll";
    HMODULE engine = LoadLibraryA(dll.c_str());
    if (!engine) {
        std::fprintf(stderr, "cannot load %s\n", dll.c_str());
        return 2;
    }
    using RequestFn = BOOL(WINAPI*)(LONG, const char*, const char*);
    auto request = reinterpret_cast<RequestFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(engine, MAKEINTRESOURCEA(7))));
    if (!request) return 2;
    BOOL result = request(std::strcmp(argv[2], "start") == 0 ? 1 : 0, argv[3], argv[4]);
    std::printf("%d\n", result ? 1 : 0);
    return 0;
}
