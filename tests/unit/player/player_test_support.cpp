#include "player_test_support.h"

namespace fxtest {
namespace {
constexpr UINT kBlock = WM_APP + 1;
constexpr UINT kRepaint = WM_APP + 2;
constexpr wchar_t kClass[] = L"FxPlayerTestWindow";
}  // namespace

COLORREF ToColorRef(uint32_t c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }
uint32_t ToRgb(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

ScreenWindow::ScreenWindow(RECT screen) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, screen, ready] { Run(screen, ready); });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
    // Shown and painted once before any player looks at it.
    WaitFor([this] { return paints_.load() > 0; });
}

ScreenWindow::~ScreenWindow() {
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
}

LRESULT CALLBACK ScreenWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ScreenWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        if (self) self->paints_.fetch_add(1);
        return 0;
    }
    case kBlock:
        Sleep(DWORD(wp));
        return 0;
    case kRepaint:
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void ScreenWindow::Run(RECT screen, HANDLE ready) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = CreateSolidBrush(ToColorRef(kBackground));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, L"", WS_POPUP | WS_VISIBLE,
                            screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top, nullptr,
                            nullptr, wc.hInstance, this);
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnregisterClassW(kClass, wc.hInstance);
    DeleteObject(wc.hbrBackground);
}

uint32_t ScreenWindow::Pixel(int x, int y) const {
    HDC dc = GetDC(hwnd_);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd_, dc);
    return ToRgb(c);
}

void ScreenWindow::Block(DWORD ms) { PostMessageW(hwnd_, kBlock, ms, 0); }

void ScreenWindow::Repaint() { SendMessageW(hwnd_, kRepaint, 0, 0); }

std::string WriteAni(const ani::AniRecipe& recipe, const std::string& name) {
    return ani::WriteTempFile(ani::Build(recipe), name);
}

}  // namespace fxtest

namespace fxtest {

uint32_t IconCentre(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmWidth);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rc = {0, 0, bm.bmWidth, bm.bmWidth};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    uint32_t c = ToRgb(GetPixel(dc, bm.bmWidth / 2, bm.bmWidth / 2));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return c;
}

double CpuShareOver(DWORD ms) {
    auto busy = [] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        auto ticks = [](const FILETIME& f) { return uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime; };
        return ticks(kernel) + ticks(user);
    };
    const uint64_t before = busy();
    const DWORD begun = GetTickCount();
    Sleep(ms);
    const DWORD took = GetTickCount() - begun;
    return double(busy() - before) / (double(took) * 10000.0);
}

}  // namespace fxtest
