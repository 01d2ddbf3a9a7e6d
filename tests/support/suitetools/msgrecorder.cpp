// msgrecorder.exe CLASS LOG_FILE
// A hidden window of the given class that appends every application message it
// receives (WM_USER and above, and WM_COMMAND) to the log, one "msg wparam lparam"
// line each, in decimal. Ends on WM_CLOSE.
#include <windows.h>

#include <cstdio>

namespace {

const char* g_log = nullptr;

void Record(UINT msg, WPARAM wp, LPARAM lp) {
    if (FILE* f = std::fopen(g_log, "a")) {
        std::fprintf(f, "%u %llu %lld\n", msg, static_cast<unsigned long long>(wp), static_cast<long long>(lp));
        std::fclose(f);
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER || msg == WM_COMMAND) Record(msg, wp, lp);
    if (msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    g_log = argv[2];
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = argv[1];
    if (!RegisterClassA(&wc)) return 1;
    if (!CreateWindowExA(0, argv[1], "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr)) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
}
