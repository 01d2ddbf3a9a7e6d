// The uninstall launcher, run as installed against a loader window of our own:
// the close request it posts, the command it starts, and its exit code.
#include <fx/names.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string BesideThisTest(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\') + 1) + name;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A hidden top-level window of the loader's class that counts close requests.
class FakeLoader {
public:
    FakeLoader() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = fx::kLoaderClass;
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA(fx::kLoaderClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, this);
    }
    FakeLoader(const FakeLoader&) = delete;
    FakeLoader& operator=(const FakeLoader&) = delete;
    ~FakeLoader() {
        DestroyWindow(hwnd_);
        UnregisterClassA(fx::kLoaderClass, GetModuleHandleA(nullptr));
    }
    HWND hwnd() const { return hwnd_; }
    int closes = 0;
    bool plainCloses = true;  // every request had wParam 0 and lParam 0

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<FakeLoader*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_CLOSE && self) {
            ++self->closes;
            self->plainCloses = self->plainCloses && wp == 0 && lp == 0;
            return 0;  // stays open, as a loader that has not ended yet
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

class UninstLauncher : public ::testing::Test {
protected:
    std::string runs_;  // where the recorder leaves one file per run
    std::string recorder_ = BesideThisTest("uninst_recorder.exe");

    void SetUp() override {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        runs_ = std::string(tmp) + "fx-uninst-runs";
        ClearRuns();
        CreateDirectoryA(runs_.c_str(), nullptr);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, fx::kUninstallKey);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, fx::kUninstallKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kUninstallKey);
        ClearRuns();
        RemoveDirectoryA(runs_.c_str());
    }

    // A command line that runs the recorder, padded with blanks-free filler to
    // exactly length characters when length is given.
    std::string RecorderCommand(size_t length = 0) const {
        std::string c = "\"" + recorder_ + "\" " + runs_ + " ";
        if (length > c.size()) c += std::string(length - c.size(), 'x');
        return c;
    }

    // Without its zero the data is followed by another character: the registry
    // counts a zero that follows the data as part of a text.
    static void Store(HKEY root, const std::string& data, bool withZero = true) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(root, fx::kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::string stored = withZero ? data : data + "#";
        ASSERT_EQ(RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                                 static_cast<DWORD>(data.size() + (withZero ? 1 : 0))),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // Runs the installed launcher to its end; returns its exit code.
    static DWORD RunLauncher() {
        std::string cmd = "\"" + DistPath("fxuninst.exe") + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "cannot start " << cmd;
            return 0xDEAD;
        }
        // Keep the fake loader's queue served while the launcher runs.
        while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
        DWORD code = 0xDEAD;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        Pump();
        return code;
    }

    // The command lines recorded so far.
    std::vector<std::string> Runs() const {
        std::vector<std::string> lines;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((runs_ + "\\run-*.txt").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return lines;
        do {
            HANDLE f = CreateFileA((runs_ + "\\" + fd.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            char buf[1024];
            DWORD got = 0;
            if (f != INVALID_HANDLE_VALUE) {
                ReadFile(f, buf, sizeof buf, &got, nullptr);
                CloseHandle(f);
            }
            lines.emplace_back(buf, got);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return lines;
    }

    // The runs once count of them have arrived, or after a grace time when none
    // is expected (the launcher has already started any it would start).
    std::vector<std::string> WaitForRuns(size_t count) const {
        const DWORD end = GetTickCount() + (count ? 10000 : 1500);
        while (static_cast<LONG>(end - GetTickCount()) > 0 && (count == 0 || Runs().size() < count)) Sleep(50);
        if (count) Sleep(300);  // a surplus run would show up now
        return Runs();
    }

    void ClearRuns() const {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((runs_ + "\\run-*.txt").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return;
        do DeleteFileA((runs_ + "\\" + fd.cFileName).c_str());
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
};

TEST_F(UninstLauncher, ClosesTheLoaderThenRunsTheCommandOncePerStart) {
    FakeLoader loader;
    ASSERT_TRUE(loader.hwnd());
    const std::string command = RecorderCommand();
    Store(HKEY_LOCAL_MACHINE, command);

    EXPECT_EQ(RunLauncher(), 0u);
    EXPECT_EQ(loader.closes, 1);
    EXPECT_EQ(WaitForRuns(1), std::vector<std::string>{command});

    // A second start asks again and runs the uninstaller again.
    EXPECT_EQ(RunLauncher(), 0u);
    EXPECT_EQ(loader.closes, 2);
    EXPECT_TRUE(loader.plainCloses);
    EXPECT_EQ(WaitForRuns(2), (std::vector<std::string>{command, command}));
}

TEST_F(UninstLauncher, RunsTheCommandWithoutALoader) {
    ASSERT_FALSE(FindWindowA(fx::kLoaderClass, nullptr));
    Store(HKEY_LOCAL_MACHINE, RecorderCommand());
    EXPECT_EQ(RunLauncher(), 0u);
    EXPECT_EQ(WaitForRuns(1).size(), 1u);
}

TEST_F(UninstLauncher, RecordedCommands) {
    struct Row {
        int line;
        HKEY root;          // null: no key at all
        std::string data;   // "-" stores the key without the value
        bool withZero;
        bool runs;
    };
    const std::string fits = RecorderCommand(259);  // 260 bytes with its zero
    const Row rows[] = {
        {__LINE__, HKEY_LOCAL_MACHINE, fits, true, true},
        {__LINE__, HKEY_LOCAL_MACHINE, fits, false, true},
        {__LINE__, HKEY_LOCAL_MACHINE, RecorderCommand(260), false, false},  // fills the buffer, no room for its end
        {__LINE__, HKEY_LOCAL_MACHINE, RecorderCommand(260), true, false},   // 261 bytes
        {__LINE__, HKEY_LOCAL_MACHINE, RecorderCommand(400), true, false},
        {__LINE__, HKEY_LOCAL_MACHINE, "", true, false},
        {__LINE__, HKEY_LOCAL_MACHINE, "-", true, false},
        {__LINE__, nullptr, "", true, false},
        {__LINE__, HKEY_CURRENT_USER, RecorderCommand(), true, false},  // only the machine's key counts
    };
    FakeLoader loader;
    int closes = 0;
    for (const Row& r : rows) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, fx::kUninstallKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kUninstallKey);
        ClearRuns();
        if (r.root && r.data == "-") {
            HKEY key;
            RegCreateKeyExA(r.root, fx::kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            RegCloseKey(key);
        } else if (r.root) {
            Store(r.root, r.data, r.withZero);
        }
        EXPECT_EQ(RunLauncher(), 0u) << "row at line " << r.line;
        EXPECT_EQ(loader.closes, ++closes) << "row at line " << r.line << ": the close request goes out anyway";
        const std::vector<std::string> runs = WaitForRuns(r.runs ? 1 : 0);
        if (r.runs)
            EXPECT_EQ(runs, std::vector<std::string>{r.data}) << "row at line " << r.line;
        else
            EXPECT_TRUE(runs.empty()) << "row at line " << r.line << ": ran " << (runs.empty() ? "" : runs[0]);
    }
}

}  // namespace
