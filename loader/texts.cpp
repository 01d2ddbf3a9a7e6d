#include "texts.h"

#include "fx/module_path.h"
#include "fx/names.h"
#include "fx/text.h"
#include "loader_texts.h"

#include <cstring>

namespace loader {
namespace {

char g_stringsFile[MAX_PATH];
char g_text[260];

}  // namespace

void InitTexts(HMODULE module) noexcept {
    fx::PathBesideModule(module, fx::kStringsFileName, g_stringsFile, sizeof g_stringsFile);
}

void SetStringsFile(const char* path) noexcept {
    fx::CopyText(g_stringsFile, path);
}

const char* LookUpText(const char* key) noexcept {
    GetPrivateProfileStringA(kTextsSection, key, key, g_text, sizeof g_text, g_stringsFile);
    return g_text[0] ? g_text : key;
}

void CutText(char* text, size_t maxBytes) noexcept {
    if (std::strlen(text) <= maxBytes) return;
    size_t keep = 0;
    for (const char* p = text; *p;) {
        const char* next = CharNextA(p);
        size_t end = static_cast<size_t>(next - text);
        if (end > maxBytes || next == p) break;
        keep = end;
        p = next;
    }
    text[keep] = '\0';
}

}  // namespace loader
