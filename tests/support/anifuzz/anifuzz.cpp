// anifuzz: a mutation campaign against the ANI reader, in one long-lived process.
//
// Each iteration takes a seed file (the real-world files, the writer's samples and
// kept crashers), stacks a few mutations on it (bit flips, interesting values in
// chunk sizes, counts and image headers, cuts, duplicated and spliced ranges) and
// loads the result. The input sits against a no-access page, so a read past its
// end faults at once. After every file: no crash, the record empty or sane, and the
// GDI object count back at its baseline; the handle count (43 ms to take) is checked
// every 64 files, and growth there is pinned on one of those 64 by replaying them.
// An input that crashes or leaks is written out and the run stops; iteration i of
// seed s is the same file on every run, so `--start i --count 1` replays it.
//
//   usage: anifuzz [--seed S] [--start I] [--count N] [--corpus DIR]... [--out DIR]
//                  [--report N] [--size PIXELS]
//   exit: 0 clean, 3 crash, 4 leak, 5 broken result, 2 usage
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "ani_reader.h"
#include "ani_samples.h"
#include "ani_writer.h"
#include "process_counters.h"

namespace {

using fxtest::ani::Bytes;

struct Options {
    uint64_t seed = 1;
    uint64_t start = 0;
    uint64_t count = 10000;
    std::vector<std::string> corpora;
    std::string out = ".";
    uint64_t report = 0;
    int iconSize = 32;
};

// SplitMix64: a fresh, reproducible stream per (seed, iteration).
struct Rng {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? size_t(Next() % n) : 0; }
    bool OneIn(unsigned n) { return Below(n) == 0; }
};

constexpr size_t kMaxInput = 2u << 20;

// The input buffer lies between two no-access pages; the file is placed against
// one or the other, so reading before its start or past its end faults.
class GuardedBuffer {
public:
    GuardedBuffer() {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        page_ = si.dwPageSize;
        size_t body = (kMaxInput + page_ - 1) / page_ * page_;
        base_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, body + 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_, page_, PAGE_NOACCESS, &old);
        VirtualProtect(base_ + page_ + body, page_, PAGE_NOACCESS, &old);
        body_ = base_ + page_;
        bodySize_ = body;
    }
    const uint8_t* Place(const Bytes& file, bool againstEnd) {
        uint8_t* at = againstEnd ? body_ + bodySize_ - file.size() : body_;
        if (!file.empty()) std::memcpy(at, file.data(), file.size());
        return at;
    }

private:
    size_t page_ = 4096;
    uint8_t* base_ = nullptr;
    uint8_t* body_ = nullptr;
    size_t bodySize_ = 0;
};

// What crash reporting needs without touching the heap.
struct Current {
    const Options* options = nullptr;
    const Bytes* input = nullptr;
    uint64_t iteration = 0;
} g_current;

std::string CasePath(const char* kind, uint64_t iteration) {
    char name[128];
    std::snprintf(name, sizeof(name), "\\%s-seed%llu-iter%llu.ani", kind, (unsigned long long)g_current.options->seed,
                  (unsigned long long)iteration);
    return g_current.options->out + name;
}

void Save(const char* kind, uint64_t iteration, const Bytes& input) {
    std::string path = CasePath(kind, iteration);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        if (!input.empty()) WriteFile(f, input.data(), DWORD(input.size()), &written, nullptr);
        CloseHandle(f);
    }
    std::printf("saved %s\n", path.c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::printf("CRASH at iteration %llu (seed %llu): exception 0x%08lx at %p\n",
                (unsigned long long)g_current.iteration, (unsigned long long)g_current.options->seed,
                info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
    if (g_current.input) Save("crash", g_current.iteration, *g_current.input);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Where the chunk headers and the fields worth hitting are: offsets of the size
// fields of known chunks, anih counts, icon directory and image header fields.
std::vector<size_t> InterestingOffsets(const Bytes& f) {
    static const char* ids[] = {"RIFF", "LIST", "anih", "seq ", "rate", "icon", "fram", "ACON"};
    std::vector<size_t> at;
    for (size_t i = 0; i + 8 <= f.size(); ++i) {
        for (const char* id : ids) {
            if (std::memcmp(&f[i], id, 4) != 0) continue;
            at.push_back(i + 4);  // the size field (or the first word after a list type)
            if (!std::strcmp(id, "anih") && i + 8 + 36 <= f.size())
                for (size_t k : {4, 8, 12, 16, 28, 32}) at.push_back(i + 8 + k);
            if (!std::strcmp(id, "icon") && i + 8 + 22 <= f.size()) {
                size_t ico = i + 8;
                for (size_t k : {0, 2, 4, 6, 7, 10, 12, 14, 18}) at.push_back(ico + k);
                uint32_t off = uint32_t(f[ico + 18]) | uint32_t(f[ico + 19]) << 8 | uint32_t(f[ico + 20]) << 16 |
                               uint32_t(f[ico + 21]) << 24;
                if (ico + off + 40 <= f.size())
                    for (size_t k : {0, 4, 8, 12, 14, 16, 20, 32, 16 + 0}) at.push_back(ico + off + k);
            }
            break;
        }
    }
    return at;
}

uint32_t InterestingValue(Rng& rng, const Bytes& f) {
    static const uint32_t values[] = {0, 1, 2, 3, 4, 7, 8, 15, 16, 31, 32, 33, 35, 36, 37, 40, 64, 127, 128, 255, 256,
                                      257, 1024, 4096, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000,
                                      0xFFFFFFFE, 0xFFFFFFFF};
    switch (rng.Below(3)) {
    case 0: return uint32_t(f.size() + rng.Below(17)) - 8;
    case 1: return uint32_t(rng.Next());
    default: return values[rng.Below(sizeof(values) / sizeof(values[0]))];
    }
}

void Put32(Bytes& f, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4 && at + i < f.size(); ++i) f[at + i] = uint8_t(v >> (8 * i));
}

void Mutate(Rng& rng, Bytes& f, const std::vector<Bytes>& seeds) {
    if (f.empty()) {
        f.push_back(uint8_t(rng.Next()));
        return;
    }
    switch (rng.Below(10)) {
    case 0:  // bit flips
        for (size_t n = 1 + rng.Below(4); n--;) f[rng.Below(f.size())] ^= uint8_t(1u << rng.Below(8));
        break;
    case 1: {  // an interesting byte
        static const uint8_t bytes[] = {0, 1, 0x7F, 0x80, 0xFF};
        f[rng.Below(f.size())] = bytes[rng.Below(5)];
        break;
    }
    case 2:
    case 3: {  // a structural field set to an interesting or nearby value
        std::vector<size_t> at = InterestingOffsets(f);
        if (at.empty()) break;
        size_t where = at[rng.Below(at.size())];
        if (rng.OneIn(2)) {
            Put32(f, where, InterestingValue(rng, f));
        } else if (where + 4 <= f.size()) {
            uint32_t v = uint32_t(f[where]) | uint32_t(f[where + 1]) << 8 | uint32_t(f[where + 2]) << 16 |
                         uint32_t(f[where + 3]) << 24;
            Put32(f, where, v + uint32_t(int(rng.Below(17)) - 8));
        }
        break;
    }
    case 4:  // a 32-bit value anywhere
        Put32(f, rng.Below(f.size()), InterestingValue(rng, f));
        break;
    case 5:  // cut
        f.resize(rng.Below(f.size()));
        break;
    case 6: {  // delete a range
        size_t from = rng.Below(f.size()), n = 1 + rng.Below(std::min<size_t>(f.size() - from, 256));
        f.erase(f.begin() + long(from), f.begin() + long(from + n));
        break;
    }
    case 7: {  // duplicate a range (a second header, a repeated chunk)
        size_t from = rng.Below(f.size()), n = 1 + rng.Below(std::min<size_t>(f.size() - from, 512));
        Bytes copy(f.begin() + long(from), f.begin() + long(from + n));
        if (f.size() + copy.size() <= kMaxInput)
            f.insert(f.begin() + long(rng.Below(f.size() + 1)), copy.begin(), copy.end());
        break;
    }
    case 8: {  // random bytes inserted
        size_t n = 1 + rng.Below(16);
        Bytes junk(n);
        for (uint8_t& b : junk) b = uint8_t(rng.Next());
        f.insert(f.begin() + long(rng.Below(f.size() + 1)), junk.begin(), junk.end());
        break;
    }
    default: {  // splice: this file's head, another's tail
        const Bytes& other = seeds[rng.Below(seeds.size())];
        if (other.empty()) break;
        size_t head = rng.Below(f.size()), tail = rng.Below(other.size());
        f.resize(head);
        if (head + other.size() - tail <= kMaxInput) f.insert(f.end(), other.begin() + long(tail), other.end());
        break;
    }
    }
}

void AddFiles(const std::string& dir, std::vector<Bytes>* seeds, std::vector<std::string>* names) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*.ani").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        Bytes b = fxtest::ani::ReadFileBytes(dir + "\\" + fd.cFileName);
        if (b.size() <= kMaxInput) {
            seeds->push_back(std::move(b));
            names->push_back(fd.cFileName);
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        if (a == "--seed") o->seed = std::strtoull(v, nullptr, 10);
        else if (a == "--start") o->start = std::strtoull(v, nullptr, 10);
        else if (a == "--count") o->count = std::strtoull(v, nullptr, 10);
        else if (a == "--corpus") o->corpora.push_back(v);
        else if (a == "--out") o->out = v;
        else if (a == "--report") o->report = std::strtoull(v, nullptr, 10);
        else if (a == "--size") o->iconSize = std::atoi(v);
        else return false;
    }
    return true;
}

// A loaded record must be what a player can use safely.
bool Sane(const fx::AniAnimation& a, int iconSize) {
    if (!a.frames) return a.stepCount == 0 && a.frameCount == 0 && !a.steps;
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(a.frames, &cx, &cy) || cx != iconSize || cy != iconSize) return false;
    if (uint32_t(ImageList_GetImageCount(a.frames)) > a.frameCount) return false;
    if ((a.stepCount != 0) != (a.steps != nullptr)) return false;
    for (uint32_t i = 0; i < a.stepCount; ++i)
        if (a.steps[i].rate < fx::kAniMinRate || a.steps[i].rate > fx::kAniMaxRate) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: anifuzz [--seed S] [--start I] [--count N] [--corpus DIR]... [--out DIR] [--report N] "
                     "[--size PIXELS]\n");
        return 2;
    }
    g_current.options = &options;
    // Whatever ends the process, what it printed so far must be in the log.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    std::vector<Bytes> seeds;
    std::vector<std::string> names;
    for (auto& [name, bytes] : fxtest::ani::SampleFiles()) {
        seeds.push_back(bytes);
        names.push_back(name);
    }
    for (const std::string& dir : options.corpora) AddFiles(dir, &seeds, &names);
    size_t samples = fxtest::ani::SampleFiles().size();

    GuardedBuffer buffer;
    // One file per process: several workers share the temporary folder.
    const std::string tempName = "anifuzz-input-" + std::to_string(GetCurrentProcessId()) + ".ani";
    std::string tempPath = fxtest::ani::WriteTempFile({}, tempName);

    auto loadOnce = [&](const Bytes& input, uint64_t i, fx::AniError* error) {
        fx::AniAnimation anim;
        fx::AniLoadOptions load{options.iconSize, fx::AniFrameSource::Memory};
        bool loaded;
        if (i % 16 == 15) {
            // Now and then through a real file and the temporary-file route.
            fxtest::ani::WriteTempFile(input, tempName);
            load.source = fx::AniFrameSource::TempFile;
            loaded = fx::LoadAniFile(tempPath.c_str(), load, &anim, error);
        } else {
            const uint8_t* at = buffer.Place(input, i % 2 == 0);
            loaded = fx::LoadAniMemory(at, input.size(), load, &anim, error);
        }
        bool sane = loaded ? Sane(anim, options.iconSize) : (!anim.frames && !anim.steps);
        fx::FreeAniAnimation(&anim);
        return std::make_pair(loaded, sane);
    };

    // Warm-up: the platform sets up decoders and caches on first use.
    for (const Bytes& s : seeds) {
        fx::AniError e;
        loadOnce(s, 0, &e);
        loadOnce(s, 15, &e);
    }
    fxtest::ResourceCounts baseline = fxtest::CountResources();
    std::printf("anifuzz: seed %llu, iterations %llu..%llu, %zu seed files (%zu samples, %zu from disk), "
                "baseline gdi %ld handles %ld\n",
                (unsigned long long)options.seed, (unsigned long long)options.start,
                (unsigned long long)(options.start + options.count), seeds.size(), samples, seeds.size() - samples,
                baseline.gdiObjects, baseline.handles);

    // The files since the last handle count, to find which one leaked.
    constexpr uint64_t kRecent = 64, kNone = ~0ull;
    struct Recent {
        uint64_t iteration = kNone;
        Bytes input;
    };
    std::vector<Recent> recent(kRecent);
    uint64_t loaded = 0, refused = 0, moves = 0;
    uint64_t reasons[16] = {};
    DWORD began = GetTickCount();
    Bytes input;
    g_current.input = &input;
    for (uint64_t i = options.start; i < options.start + options.count; ++i) {
        Rng rng{options.seed * 0x100000001B3ull ^ (i + 1) * 0x9E3779B97F4A7C15ull};
        rng.Next();
        // Small writer samples most of the time (fast), real files often enough.
        size_t pick = rng.OneIn(3) || seeds.size() == samples ? rng.Below(samples)
                                                               : samples + rng.Below(seeds.size() - samples);
        input = seeds[pick];
        for (size_t n = 1 + rng.Below(3); n--;) Mutate(rng, input, seeds);
        g_current.iteration = i;

        fx::AniError error = fx::AniError::None;
        auto [ok, sane] = loadOnce(input, i, &error);
        if (ok) ++loaded;
        else ++refused, ++reasons[unsigned(error) & 15];
        if (!sane) {
            std::printf("BROKEN RESULT at iteration %llu (seed file %s)\n", (unsigned long long)i, names[pick].c_str());
            Save("broken", i, input);
            return 5;
        }
        // Growth once may be the platform's lazy set-up; growth on every repeat is a leak.
        auto leaks = [&](const Bytes& file, uint64_t at, auto count) {
            long before = count();
            fx::AniError e;
            for (int r = 0; r < 3; ++r) loadOnce(file, at, &e);
            long after = count();
            if (after <= before) return false;
            std::printf("LEAK at iteration %llu: %ld -> %ld after three more loads\n", (unsigned long long)at, before,
                        after);
            Save("leak", at, file);
            return true;
        };
        recent[i % kRecent] = {i, input};
        fxtest::ResourceCounts now{fxtest::CountGdiObjects(), baseline.handles};
        if (now.gdiObjects > baseline.gdiObjects) {
            if (leaks(input, i, [] { return fxtest::CountGdiObjects(); })) return 4;
            now.gdiObjects = fxtest::CountGdiObjects();
            baseline.gdiObjects = now.gdiObjects;
            ++moves;
        }
        if ((i + 1) % kRecent == 0 || i + 1 == options.start + options.count) {
            now.handles = fxtest::CountHandles();
            if (now.handles > baseline.handles) {
                for (const Recent& r : recent)
                    if (r.iteration != kNone && leaks(r.input, r.iteration, [] { return fxtest::CountHandles(); }))
                        return 4;
                now.handles = fxtest::CountHandles();
                baseline.handles = now.handles;
                ++moves;
            }
            for (Recent& r : recent) r.iteration = kNone;
        }
        uint64_t done = i - options.start + 1;
        if (options.report && done % options.report == 0) {
            std::printf("  %llu files, %.0f files/s, loaded %llu, refused %llu, gdi %ld, handles %ld\n",
                        (unsigned long long)done, double(done) * 1000.0 / double(GetTickCount() - began + 1),
                        (unsigned long long)loaded, (unsigned long long)refused, now.gdiObjects, now.handles);
            std::fflush(stdout);
        }
    }
    g_current.input = nullptr;
    DeleteFileA(tempPath.c_str());
    fxtest::ResourceCounts end = fxtest::CountResources();
    std::printf("files %llu, crashes 0, leaks 0, loaded %llu, refused %llu, gdi %ld, handles %ld, baseline moves %llu, "
                "%.1f s\n",
                (unsigned long long)options.count, (unsigned long long)loaded, (unsigned long long)refused,
                end.gdiObjects, end.handles, (unsigned long long)moves, double(GetTickCount() - began) / 1000.0);
    std::printf("refusals by reason:");
    for (unsigned r = 1; r < 16; ++r)
        if (reasons[r]) std::printf(" [%s] %llu", fx::AniErrorText(fx::AniError(r)), (unsigned long long)reasons[r]);
    std::printf("\n");
    return 0;
}
