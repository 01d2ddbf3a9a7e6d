// fxprobe: small commands that tests run to look at and drive Wine processes.
// Each command prints its result on stdout and returns the process exit code.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace probe {

using Args = std::vector<std::wstring>;  // the command's own arguments

struct Command {
    const char* name;
    size_t minArgs;
    const char* usage;
    int (*run)(const Args& args);
};

// Decimal or 0x-prefixed hexadecimal; false when the text is not a number.
bool ParseNumber(const std::wstring& text, unsigned long long& out);
bool ParseHwnd(const std::wstring& text, HWND& out);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const char* text);
void PrintHwnd(HWND hwnd);
void PrintText(const std::wstring& text);  // one line, UTF-8

// 1 with a message on stderr, for bad arguments and failed calls.
int Fail(const char* what);

// Command groups (one file each).
extern const Command kWindowCommands[];
extern const size_t kWindowCommandCount;
extern const Command kProcessCommands[];
extern const size_t kProcessCommandCount;
extern const Command kShellCommands[];
extern const size_t kShellCommandCount;

}  // namespace probe
