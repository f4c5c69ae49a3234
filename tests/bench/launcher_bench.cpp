// Times the launcher as a player meets it, under Wine, each figure beside a baseline program
// built by the same toolchain and measured in the same run:
//   start to window: process start until its window is visible (baseline: an empty dialog);
//   PLAY to game: the PLAY click until the game runs (baseline: a program that has the shell
//   start the game at once);
//   footprint with the window open.
//   launcher_bench LAUNCHER BASELINE_DIALOG BASELINE_SHELL RUNS
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/launcher_process.h"

namespace {

double nowMs()
{
    LARGE_INTEGER frequency, counter;
    (void)QueryPerformanceFrequency(&frequency);
    (void)QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Ready>
bool spinUntil(Ready ready, double timeoutMs = 30000)
{
    const double start = nowMs();
    while (!ready()) {
        if (nowMs() - start > timeoutMs) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

void finish(const LauncherProcess& process, HWND window)
{
    (void)PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    (void)process.waitForExit(30000, exitCode);
}

// Milliseconds from the program's start until its first window is visible.
double startToWindow(const std::string& program, const GameFolder& game)
{
    const double start = nowMs();
    LauncherProcess process(game.path(), "", {}, program);
    HWND window = nullptr;
    if (!spinUntil([&] { return (window = process.findWindow(nullptr)) != nullptr; })) {
        std::fprintf(stderr, "%s showed no window\n", program.c_str());
        std::exit(1);
    }
    const double elapsed = nowMs() - start;
    finish(process, window);
    return elapsed;
}

double untilGameRuns(const GameFolder& game, double start)
{
    StandinRun run;
    if (!spinUntil([&] { return game.exists("ran-_Vorthal.exe.txt"); }) || !waitForStandin(game, "_Vorthal.exe", run)) {
        std::fprintf(stderr, "the game did not start\n");
        std::exit(1);
    }
    const double elapsed = nowMs() - start;
    endProcess(run);
    (void)DeleteFileA(game.file("ran-_Vorthal.exe.txt").c_str());
    return elapsed;
}

double playToGame(const std::string& launcher, const GameFolder& game)
{
    LauncherProcess process(game.path(), "", {}, launcher);
    const HWND window = process.waitForWindow();
    Sleep(300); // let the window and the browser control settle, as before a player's click
    const double start = nowMs();
    (void)PostMessageA(GetDlgItem(window, IDC_PLAY), BM_CLICK, 0, 0);
    const double elapsed = untilGameRuns(game, start);
    DWORD exitCode = 0;
    (void)process.waitForExit(30000, exitCode);
    return elapsed;
}

double shellToGame(const std::string& baseline, const GameFolder& game)
{
    const double start = nowMs();
    LauncherProcess process(game.path(), "", {}, baseline);
    return untilGameRuns(game, start);
}

struct Footprint {
    double peakWorkingSetKb = 0;
    double privateKb = 0;
    DWORD userObjects = 0;
    DWORD gdiObjects = 0;
};

Footprint footprintWithWindowOpen(const std::string& program, const GameFolder& game)
{
    LauncherProcess process(game.path(), "", {}, program);
    HWND window = nullptr;
    (void)spinUntil([&] { return (window = process.findWindow(nullptr)) != nullptr; });
    Sleep(1000);
    Footprint result;
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process.id());
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (handle &&
        GetProcessMemoryInfo(handle, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        result.peakWorkingSetKb = static_cast<double>(counters.PeakWorkingSetSize) / 1024;
        result.privateKb = static_cast<double>(counters.PrivateUsage) / 1024;
    }
    if (handle) {
        result.userObjects = GetGuiResources(handle, GR_USEROBJECTS);
        result.gdiObjects = GetGuiResources(handle, GR_GDIOBJECTS);
        (void)CloseHandle(handle);
    }
    finish(process, window);
    return result;
}

long fileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? static_cast<long>(data.nFileSizeLow) : -1;
}

void row(const char* what, double launcher, double baseline)
{
    std::printf("%-34s %12.1f %12.1f %8.2f\n", what, launcher, baseline, launcher / baseline);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: launcher_bench LAUNCHER BASELINE_DIALOG BASELINE_SHELL RUNS\n");
        return 2;
    }
    const std::string launcher = argv[1];
    const std::string baselineDialog = argv[2];
    const std::string baselineShell = argv[3];
    const int runs = std::max(1, std::atoi(argv[4]));

    GameFolder game;
    game.addStandin("_Vorthal.exe");
    game.addStandin("xpad.exe");

    std::vector<double> launcherStart, baselineStart, launcherPlay, baselinePlay;
    // Warm the prefix's caches once, so that the first run does not stand for a cold disk.
    (void)startToWindow(launcher, game);
    (void)startToWindow(baselineDialog, game);
    for (int i = 0; i < runs; ++i) {
        launcherStart.push_back(startToWindow(launcher, game));
        baselineStart.push_back(startToWindow(baselineDialog, game));
        launcherPlay.push_back(playToGame(launcher, game));
        baselinePlay.push_back(shellToGame(baselineShell, game));
    }
    const Footprint launcherFootprint = footprintWithWindowOpen(launcher, game);
    const Footprint baselineFootprint = footprintWithWindowOpen(baselineDialog, game);

    std::printf("median of %d runs under Wine        %12s %12s %8s\n", runs, "launcher", "baseline", "ratio");
    row("start to window (ms)", median(launcherStart), median(baselineStart));
    row("PLAY to game running (ms)", median(launcherPlay), median(baselinePlay));
    row("peak working set, window open (KiB)", launcherFootprint.peakWorkingSetKb, baselineFootprint.peakWorkingSetKb);
    std::printf("%-34s %12.0f %12.0f\n", "private bytes (KiB)", launcherFootprint.privateKb,
                baselineFootprint.privateKb);
    std::printf("%-34s %12lu %12lu\n", "USER objects", launcherFootprint.userObjects, baselineFootprint.userObjects);
    std::printf("%-34s %12lu %12lu\n", "GDI objects", launcherFootprint.gdiObjects, baselineFootprint.gdiObjects);
    std::printf("%-34s %12ld %12ld\n", "program file (bytes)", fileSize(launcher), fileSize(baselineDialog));
    return 0;
}
