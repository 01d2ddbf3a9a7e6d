// Shared by the applier's tests: the installed DLL and tool, a snapshot of the
// system metrics that a test changes, and scratch files.
#pragma once
#include "sysapply/exports.h"
#include "sysapply/metrics.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace sysapply_test {

inline std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// The installed applier, bound by name as its callers do.
struct Applier {
    HMODULE dll = LoadLibraryA(DistPath(sysapply::kDllName).c_str());
    sysapply::ProcessRegColorsFn colours = Get<sysapply::ProcessRegColorsFn>(sysapply::kProcessRegColorsName);
    sysapply::ProcessIconMetricsFn metrics = Get<sysapply::ProcessIconMetricsFn>(sysapply::kProcessIconMetricsName);
    sysapply::ShChangeNotifyFn notify = Get<sysapply::ShChangeNotifyFn>(sysapply::kShChangeNotifyName);

    template <class Fn>
    Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
    }
    bool ok() const { return colours && metrics && notify; }
};

inline const Applier& InstalledApplier() {
    static const Applier applier;
    return applier;
}

using Bytes = std::vector<unsigned char>;

// The system's icon and non-client records as the metrics file stores them.
struct Metrics {
    Bytes icon, nonClient;

    static Metrics Current() {
        ICONMETRICSA im{};
        im.cbSize = sysapply::kIconMetricsSize;
        NONCLIENTMETRICSA nc{};
        nc.cbSize = sysapply::kNonClientMetricsSize;
        SystemParametersInfoA(SPI_GETICONMETRICS, 0, &im, 0);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &nc, 0);
        const auto* i = reinterpret_cast<const unsigned char*>(&im);
        const auto* n = reinterpret_cast<const unsigned char*>(&nc);
        return {Bytes(i, i + sysapply::kIconMetricsSize), Bytes(n, n + sysapply::kNonClientMetricsSize)};
    }

    // Puts these records into effect, saved, as the applier does.
    void Apply() const {
        ICONMETRICSA im{};
        NONCLIENTMETRICSA nc{};
        std::memcpy(&im, icon.data(), icon.size());
        std::memcpy(&nc, nonClient.data(), nonClient.size());
        SystemParametersInfoA(SPI_SETICONMETRICS, 0, &im, SPIF_UPDATEINIFILE);
        SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &nc, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    }
};

// A file name in the temporary folder, deleted on scope exit.
class ScratchFile {
public:
    explicit ScratchFile(const char* name) {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        dir_ = dir;
        path_ = dir_ + name;
        DeleteFileA(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() { DeleteFileA(path_.c_str()); }
    const char* path() const { return path_.c_str(); }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_, path_;
};

}  // namespace sysapply_test
