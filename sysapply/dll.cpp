// Module plumbing and the exports; the work is in colors.cpp and metrics.cpp.
#include "sysapply/colors.h"
#include "sysapply/exports.h"
#include "sysapply/metrics.h"

#include <shlobj.h>

namespace {
HINSTANCE g_instance;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}

// Waits until the shell has taken the notification in, so it has rebuilt its icons.
extern "C" void WINAPI sysapplySHChangeNotify() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

extern "C" int WINAPI sysapplyProcessIconMetrics(const char* metricsFile) {
    sysapply::ApplyMetricsFile(metricsFile);
    return 1;
}

extern "C" int WINAPI sysapplyProcessRegColors() {
    sysapply::ApplyRegistryColours();
    return 1;
}
