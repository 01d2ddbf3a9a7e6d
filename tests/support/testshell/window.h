// Base for every window of the stand-in shell: one static procedure that keeps the
// object pointer in GWLP_USERDATA from WM_NCCREATE on and forwards to OnMessage.
#pragma once
#include <windows.h>

namespace testshell {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const noexcept { return hwnd_; }

    // The class procedure every window of this program is created with.
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    // Registers a class whose procedure is Procedure; ANSI classes get ANSI messages.
    static bool RegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background, HCURSOR cursor);
    static bool RegisterClassOnceA(const char* name, UINT style, HBRUSH background, HCURSOR cursor);

    HWND Create(DWORD exStyle, const wchar_t* cls, const wchar_t* title, DWORD style,
                int x, int y, int w, int h, HWND parent, HMENU menu);
    HWND CreateA(DWORD exStyle, const char* cls, const char* title, DWORD style,
                 int x, int y, int w, int h, HWND parent, HMENU menu);

    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }
    // Last call for this object from its window; the object may delete itself here.
    virtual void OnFinalMessage() {}

    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) const;

private:
    HWND hwnd_ = nullptr;
    bool ansi_ = false;
};

}  // namespace testshell
