// sysapplyctl: calls the appearance applier from the command line, and saves the
// current metrics so an appearance can be put back later.
#include "sysapply/exports.h"
#include "sysapply/metrics.h"

#include <fx/handles.h>
#include <fx/module_path.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kUsage[] =
    "usage: sysapplyctl <command>\n"
    "  colors        apply the colours stored under HKCU\\Control Panel\\Colors\n"
    "  metrics FILE  apply the icon and window metrics saved in FILE\n"
    "  save FILE     save the current icon and window metrics to FILE\n"
    "  notify        tell the shell that file associations changed\n";

enum ExitCode { kOk = 0, kFailed = 1, kBadUsage = 2 };

// Profile functions look for a bare file name in the Windows folder; the user
// means the current one.
bool FullPath(const char* path, char (&full)[MAX_PATH]) {
    const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH;
}

// The applier beside this program, not whatever the search path finds.
fx::UniqueModule LoadApplier() {
    char path[MAX_PATH];
    if (!fx::PathBesideModule(nullptr, sysapply::kDllName, path, sizeof path)) return {};
    return fx::UniqueModule(LoadLibraryA(path));
}

template <class Fn>
Fn Export(const fx::UniqueModule& dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll.get(), name)));
}

int Apply(const char* command, const char* file) {
    fx::UniqueModule dll = LoadApplier();
    if (!dll) {
        std::fprintf(stderr, "sysapplyctl: cannot load %s beside this program\n", sysapply::kDllName);
        return kFailed;
    }
    if (std::strcmp(command, "colors") == 0) {
        auto fn = Export<sysapply::ProcessRegColorsFn>(dll, sysapply::kProcessRegColorsName);
        if (!fn) return kFailed;
        fn();
    } else if (std::strcmp(command, "metrics") == 0) {
        auto fn = Export<sysapply::ProcessIconMetricsFn>(dll, sysapply::kProcessIconMetricsName);
        if (!fn) return kFailed;
        fn(file);
    } else {
        auto fn = Export<sysapply::ShChangeNotifyFn>(dll, sysapply::kShChangeNotifyName);
        if (!fn) return kFailed;
        fn();
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    const bool takesFile = std::strcmp(command, "metrics") == 0 || std::strcmp(command, "save") == 0;
    const bool bare = std::strcmp(command, "colors") == 0 || std::strcmp(command, "notify") == 0;
    if ((takesFile && argc != 3) || (bare && argc != 2) || (!takesFile && !bare)) {
        std::fputs(kUsage, stderr);
        return kBadUsage;
    }
    char file[MAX_PATH] = "";
    if (takesFile && !FullPath(argv[2], file)) {
        std::fprintf(stderr, "sysapplyctl: bad file name %s\n", argv[2]);
        return kBadUsage;
    }
    if (std::strcmp(command, "save") == 0) {
        if (sysapply::SaveCurrentMetrics(file)) return kOk;
        std::fprintf(stderr, "sysapplyctl: cannot save the metrics to %s\n", file);
        return kFailed;
    }
    if (std::strcmp(command, "metrics") == 0 && GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "sysapplyctl: no file %s\n", file);
        return kFailed;
    }
    return Apply(command, file);
}
