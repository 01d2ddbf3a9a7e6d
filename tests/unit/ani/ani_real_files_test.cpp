// anidump, the installed tool, on animated cursors that other people made with
// other tools. What each file describes is read here by a separate, plain walk of
// its chunks; anidump must print exactly those steps and one image per frame.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <set>
#include "ani_test_support.h"

namespace fxtest::ani {
namespace {

// Files that must be refused, and why they are bad.
const std::set<std::string> kRefused = {
    "gdkpixbuf_fail_CVE-2022-48622.ani",  // the frame list ends inside its last icon; a second anih follows
};

uint32_t Le32At(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// The steps a file describes: its anih counts, "seq " (or frames in order) and
// "rate" (or the default rate), clamped as players get them.
Steps Described(const Bytes& file, uint32_t* frames) {
    uint32_t steps = 0, rate = 0;
    std::vector<uint32_t> seq, rates;
    size_t end = std::min<size_t>(file.size(), 8 + size_t(Le32At(file, 4)));
    for (size_t p = 12; p + 8 <= end;) {
        std::string id(file.begin() + p, file.begin() + p + 4);
        uint32_t size = Le32At(file, p + 4);
        if (id == "anih") {
            *frames = Le32At(file, p + 12);
            steps = Le32At(file, p + 16);
            rate = Le32At(file, p + 36);
        } else if (id == "seq " || id == "rate") {
            for (uint32_t i = 0; i + 4 <= size; i += 4) (id == "seq " ? seq : rates).push_back(Le32At(file, p + 8 + i));
        }
        p += 8 + size + (size & 1);
    }
    Steps out;
    for (uint32_t i = 0; i < steps; ++i) {
        uint32_t r = i < rates.size() ? rates[i] : rate;
        out.emplace_back(i < seq.size() ? seq[i] : i, std::clamp(r, fx::kAniMinRate, fx::kAniMaxRate));
    }
    return out;
}

struct ToolRun {
    DWORD exitCode = DWORD(-1);
    std::string out;
};

ToolRun RunAnidump(const std::string& file) {
    ToolRun run;
    std::string exe = "Z:" FX_DIST_DIR "/anidump.exe";
    std::string command = "\"" + exe + "\" \"" + file + "\"";
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE readPipe = nullptr, writePipe = nullptr;
    if (!CreatePipe(&readPipe, &writePipe, &sa, 0)) return run;
    SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writePipe;
    si.hStdError = writePipe;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(command.begin(), command.end());
    cmd.push_back('\0');
    BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writePipe);
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readPipe, buffer, sizeof(buffer), &got, nullptr) && got) run.out.append(buffer, got);
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readPipe);
    return run;
}

// The numbers that follow `"key": ` in anidump's one-line JSON.
long long Field(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? -1 : std::atoll(json.c_str() + at + key.size() + 4);
}

Steps StepsOf(const std::string& json) {
    Steps steps;
    size_t at = json.find("\"steps\": [");
    if (at == std::string::npos) return steps;
    const char* p = json.c_str() + at + 10;
    while (*p == '[' || *p == ',' || *p == ' ') {
        if (*p != '[') {
            ++p;
            continue;
        }
        char* next = nullptr;
        uint32_t frame = uint32_t(std::strtoul(p + 1, &next, 10));
        uint32_t rate = uint32_t(std::strtoul(next + 1, &next, 10));
        steps.emplace_back(frame, rate);
        p = next + 1;
    }
    return steps;
}

TEST(AnidumpOnRealFiles, PrintsTheDescribedStepsAndAnImagePerFrame) {
    std::vector<std::string> files = RealFiles();
    if (files.empty()) GTEST_SKIP() << "the real-world ANI files are not on this machine";
    for (const std::string& path : files) {
        std::string name = path.substr(path.find_last_of('\\') + 1);
        SCOPED_TRACE(name);
        ToolRun run = RunAnidump(path);
        if (kRefused.count(name)) {
            EXPECT_EQ(run.exitCode, 1u);
            EXPECT_EQ(run.out.rfind("refused: ", 0), 0u) << run.out;
            EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
            continue;
        }
        ASSERT_EQ(run.exitCode, 0u) << run.out;
        uint32_t frames = 0;
        Steps want = Described(ReadFileBytes(path), &frames);
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(Field(run.out, "frameCount"), frames) << run.out;
        EXPECT_EQ(Field(run.out, "stepCount"), long(want.size())) << run.out;
        EXPECT_EQ(Field(run.out, "images"), frames) << run.out;
        EXPECT_EQ(StepsOf(run.out), want) << run.out;
    }
}

}  // namespace
}  // namespace fxtest::ani
