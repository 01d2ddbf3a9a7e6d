#include "desktop_animations.h"
#include "engine_shared.h"
#include "engine_state.h"
#include "fx/module_path.h"
#include "fx/names.h"
#include "fx/text.h"

// One copy for every process that maps the engine.
__attribute__((section(".shared"), shared)) EngineShared g_shared = {
    nullptr, nullptr, nullptr, {0}, {0}, 0, {nullptr, nullptr, nullptr, nullptr}, 0, nullptr, nullptr,
    0,       4,       -2,      {0}, {0}, {0, 0, 0, 0}, {0, 0, 0, 0}};

HMODULE g_engineModule = nullptr;
char g_stringsFilePath[MAX_PATH] = "";
bool g_attachedHere = false;
WNDPROC g_viewPrevProc = nullptr;
WNDPROC g_listPrevProc = nullptr;
LONG g_flyoverStyle = 0;
LONG g_launchStyle = 0;
int iconSize = 32;
char g_aniFile[264] = "";
char g_itemName[260] = "";

namespace {

void OnProcessAttach(HMODULE module) noexcept {
    g_engineModule = module;
    fx::PathBesideModule(module, fx::kStringsFileName, g_stringsFilePath, sizeof g_stringsFilePath);
    char text[260];
    GetPrivateProfileStringA("ExHookDef", "default", "", text, sizeof text, g_stringsFilePath);
    fx::CopyText(g_shared.g_defaultHelpText, text);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        OnProcessAttach(instance);
        break;
    case DLL_PROCESS_DETACH:
        // At process exit every thread is already gone.
        if (!reserved) engine::RequestStopAllPlayers();
        break;
    default:
        break;
    }
    return TRUE;
}
