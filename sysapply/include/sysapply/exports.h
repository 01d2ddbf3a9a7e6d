// The DLL's exports, for callers that bind them by name at run time.
#pragma once
#include <windows.h>

extern "C" {
void WINAPI sysapplySHChangeNotify();
int WINAPI sysapplyProcessIconMetrics(const char* metricsFile);
int WINAPI sysapplyProcessRegColors();
}

namespace sysapply {
using ShChangeNotifyFn = void(WINAPI*)();
using ProcessIconMetricsFn = int(WINAPI*)(const char*);
using ProcessRegColorsFn = int(WINAPI*)();

inline constexpr char kDllName[] = "sysapply.dll";
inline constexpr char kShChangeNotifyName[] = "sysapplySHChangeNotify";
inline constexpr char kProcessIconMetricsName[] = "sysapplyProcessIconMetrics";
inline constexpr char kProcessRegColorsName[] = "sysapplyProcessRegColors";
}  // namespace sysapply
