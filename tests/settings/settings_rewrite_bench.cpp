// How fast a save rewrites config.cfg, and how much memory it takes, at growing file sizes:
// the file is read whole, rewritten and written out again, as saveSettings does (less the
// flush to disk); and the rewrite alone, in memory.
//   settings_rewrite_bench [benchmark options] FOLDER
// FOLDER holds the inputs config-1KB.cfg, config-1MB.cfg and config-64MB.cfg; each rewritten
// file goes beside its input as <input>.out.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "settings/settings_format.h"

namespace {

constexpr LauncherSettings kChosen{1280, 1024, 32, 1};

bool readWhole(const std::string& path, std::string& bytes)
{
    const int file = open(path.c_str(), O_RDONLY);
    struct stat status {};
    if (file < 0 || fstat(file, &status) != 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file, &bytes[done], bytes.size() - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    close(file);
    return done == bytes.size();
}

bool writeWhole(const std::string& path, const std::string& bytes)
{
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(file, bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return close(file) == 0 && done == bytes.size();
}

long residentKb()
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages >> pages;
    return pages * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void rewriteFile(benchmark::State& state, const std::string& input)
{
    struct stat status {};
    if (stat(input.c_str(), &status) != 0) {
        state.SkipWithError(("no input " + input).c_str());
        return;
    }
    const double size = static_cast<double>(status.st_size);
    const long residentBefore = residentKb();
    for (auto _ : state) {
        std::string bytes;
        if (!readWhole(input, bytes) || !writeWhole(input + ".out", rewriteSettings(bytes, kChosen))) {
            state.SkipWithError("reading or writing failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * status.st_size);
    state.counters["s_per_byte"] = benchmark::Counter(size * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Sizes run from small to large, so the process's peak so far is this size's peak.
    state.counters["peak_mem_per_byte"] = static_cast<double>(peakResidentKb() - residentBefore) * 1024.0 / size;
}

// The rewrite alone, on bytes already in memory: what the file system adds is the difference.
void rewriteBytes(benchmark::State& state, const std::string& input)
{
    std::string bytes;
    if (!readWhole(input, bytes)) {
        state.SkipWithError(("no input " + input).c_str());
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(rewriteSettings(bytes, kChosen));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["s_per_byte"] = benchmark::Counter(static_cast<double>(bytes.size()) *
                                                          static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [benchmark options] FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const char* size : {"1KB", "1MB", "64MB"}) {
        benchmark::RegisterBenchmark((std::string("rewrite/") + size).c_str(), rewriteFile,
                                     folder + "/config-" + size + ".cfg")
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const char* size : {"1KB", "1MB", "64MB"}) {
        benchmark::RegisterBenchmark((std::string("rewrite_in_memory/") + size).c_str(), rewriteBytes,
                                     folder + "/config-" + size + ".cfg")
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
