// A desktop window tree of our own on a thread of its own, shaped like the shell's:
// "Progman" (popup) > "SHELLDLL_DefView" > "SysListView32". It records the commands
// that reach its own procedure, so tests can see what the engine passed on.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeDesktop {
public:
    struct Options {
        bool oldProgramManagerFirst = false;  // a non-popup "Progman" created before ours
        // Items of the list view, with images of their own (item i has image i of a
        // normal image list of 32-pixel squares); the desktop is then shown, topmost.
        std::vector<std::string> items = {};
    };
    explicit FakeDesktop(Options options);
    FakeDesktop() : FakeDesktop(Options{}) {}
    ~FakeDesktop();

    HWND desktop() const { return desktop_; }
    HWND view() const { return view_; }
    HWND list() const { return list_; }
    HWND oldProgramManager() const { return old_; }
    DWORD threadId() const { return threadId_; }

    // Runs fn on the desktop thread and waits for it.
    template <class Fn>
    void RunOnThread(Fn fn) {
        auto* call = new std::function<void()>(fn);
        SendMessageW(control_, WM_APP, 0, reinterpret_cast<LPARAM>(call));
    }

    WNDPROC CurrentProc(HWND w);
    WNDPROC desktopOriginal() const { return desktopProc_; }
    WNDPROC viewOriginal() const { return viewProc_; }
    WNDPROC listOriginal() const { return listProc_; }

    // WM_COMMAND wParams that reached the desktop's own procedure.
    std::vector<WPARAM> Commands();

private:
    void Run(Options options, HANDLE ready);
    static LRESULT CALLBACK DesktopProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);

    std::mutex mutex_;
    std::vector<WPARAM> commands_;
    std::thread thread_;
    DWORD threadId_ = 0;
    void AddItems(const std::vector<std::string>& items);
    HWND desktop_ = nullptr, view_ = nullptr, list_ = nullptr, old_ = nullptr, control_ = nullptr;
    HIMAGELIST images_ = nullptr;
    WNDPROC desktopProc_ = nullptr, viewProc_ = nullptr, listProc_ = nullptr;
};

// A window of the given class on the calling thread that records what it receives.
class MessageRecorder {
public:
    explicit MessageRecorder(const char* className);
    ~MessageRecorder();
    HWND hwnd() const { return hwnd_; }
    struct Msg { UINT msg; WPARAM wp; LPARAM lp; };
    // Pumps this thread's queue for the given time, then returns what arrived.
    std::vector<Msg> Pump(DWORD ms);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    const char* className_;
    HWND hwnd_ = nullptr;
    std::vector<Msg> got_;
};
