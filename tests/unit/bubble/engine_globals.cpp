// The engine's globals that the engine sources compiled into these tests use; the
// tests point them where they need (a strings file of their own, this program as
// the module beside which "Folder List" lives).
#include "engine_shared.h"
#include "engine_state.h"

EngineShared g_shared{};
HMODULE g_engineModule = GetModuleHandleW(nullptr);
char g_stringsFilePath[MAX_PATH] = "";
