// fxprobe.exe COMMAND ARGS...: see kWindowCommands, kProcessCommands and
// kShellCommands for the list; "fxprobe help" prints it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "probe.h"

namespace probe {

bool ParseNumber(const std::wstring& text, unsigned long long& out) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    bool negative = text[0] == L'-';
    const wchar_t* start = text.c_str() + (negative ? 1 : 0);
    int base = (start[0] == L'0' && (start[1] == L'x' || start[1] == L'X')) ? 16 : 10;
    if (!*start) return false;
    unsigned long long value = wcstoull(start, &end, base);
    if (!end || *end) return false;
    out = negative ? static_cast<unsigned long long>(-static_cast<long long>(value)) : value;
    return true;
}

bool ParseHwnd(const std::wstring& text, HWND& out) {
    unsigned long long value = 0;
    if (!ParseNumber(text, value)) return false;
    out = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    return true;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    return out;
}

void PrintHwnd(HWND hwnd) { std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd))); }

void PrintText(const std::wstring& text) {
    std::string line = Utf8(text);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int Fail(const char* what) {
    std::fprintf(stderr, "fxprobe: %s\n", what);
    return 1;
}

}  // namespace probe

using namespace probe;

namespace {

struct Group {
    const Command* commands;
    size_t count;
};

const Group kGroups[] = {
    {kWindowCommands, kWindowCommandCount},
    {kProcessCommands, kProcessCommandCount},
    {kShellCommands, kShellCommandCount},
};

int Usage() {
    std::fprintf(stderr, "usage: fxprobe COMMAND ARGS...\n");
    for (const auto& g : kGroups)
        for (size_t i = 0; i < g.count; ++i) std::fprintf(stderr, "  %s %s\n", g.commands[i].name, g.commands[i].usage);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    std::string name = Utf8(argv[1]);
    for (const auto& g : kGroups) {
        for (size_t i = 0; i < g.count; ++i) {
            const Command& c = g.commands[i];
            if (name != c.name) continue;
            Args args(argv + 2, argv + argc);
            if (args.size() < c.minArgs) {
                std::fprintf(stderr, "usage: fxprobe %s %s\n", c.name, c.usage);
                return 2;
            }
            int rc = c.run(args);
            std::fflush(stdout);
            return rc;
        }
    }
    return Usage();
}
