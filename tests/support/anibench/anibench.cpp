// anibench: the engine's ANI reader against the platform's own ANI loading, side by
// side in one run, and the reader's two frame routes (temporary icon file vs memory).
//   usage: anibench [--rounds N] [--size PIXELS] FILE...
// Each round loads every file once per contender, contenders interleaved, so drift
// in the machine's load hits all of them alike. Prints ms per file load and ratios.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "ani_reader.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(frequency.QuadPart);
}

struct Contender {
    const char* name;
    std::function<bool(const std::string&)> load;  // loads and frees one file
    std::vector<double> seconds;                   // per round, all files
    int failures = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 10, size = 32;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--size") && i + 1 < argc) size = std::atoi(argv[++i]);
        else files.push_back(argv[i]);
    }
    if (files.empty() || rounds < 1) {
        std::fprintf(stderr, "usage: anibench [--rounds N] [--size PIXELS] FILE...\n");
        return 2;
    }

    auto ours = [size](fx::AniFrameSource source) {
        return [size, source](const std::string& path) {
            fx::AniAnimation anim;
            bool ok = fx::LoadAniFile(path.c_str(), fx::AniLoadOptions{size, source}, &anim);
            fx::FreeAniAnimation(&anim);
            return ok;
        };
    };
    std::vector<Contender> contenders = {
        {"platform LoadImage(IMAGE_CURSOR, LR_LOADFROMFILE)",
         [size](const std::string& path) {
             HANDLE cursor = LoadImageA(nullptr, path.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE);
             if (cursor) DestroyCursor(static_cast<HCURSOR>(cursor));
             return cursor != nullptr;
         }, {}, 0},
        {"reader, frames from memory", ours(fx::AniFrameSource::Memory), {}, 0},
        {"reader, frames through fxtmp.ico", ours(fx::AniFrameSource::TempFile), {}, 0},
        {"reader, default (alone: fxtmp.ico)", ours(fx::AniFrameSource::Auto), {}, 0},
    };

    for (Contender& c : contenders)  // warm-up: decoders, caches, file cache
        for (const std::string& f : files) c.load(f);
    for (int r = 0; r < rounds; ++r) {
        for (Contender& c : contenders) {
            double start = Now();
            for (const std::string& f : files)
                if (!c.load(f)) ++c.failures;
            c.seconds.push_back(Now() - start);
        }
    }

    std::printf("%zu files x %d rounds, icon size %d; median per round, per file load:\n", files.size(), rounds, size);
    double platform = Median(contenders[0].seconds) / double(files.size());
    double memory = Median(contenders[1].seconds) / double(files.size());
    for (const Contender& c : contenders) {
        double perFile = Median(c.seconds) / double(files.size());
        std::printf("  %-52s %8.3f ms  (x%.2f platform)%s\n", c.name, perFile * 1e3, perFile / platform,
                    c.failures ? "  [some files refused]" : "");
    }
    double tempFile = Median(contenders[2].seconds) / double(files.size());
    std::printf("ratio reader(memory) / platform:        %.2f\n", memory / platform);
    std::printf("ratio reader(fxtmp.ico) / reader(memory): %.2f\n", tempFile / memory);
    return 0;
}
