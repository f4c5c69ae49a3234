// The launcher used for long: the Options dialog opened and closed 200 times in one run, and
// 50 whole runs in a row. Nothing may pile up: not windows, handles, USER or GDI objects, nor
// memory, and no process may stay behind.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "shared/portal_address.h"
#include "support/launcher_process.h"

namespace {

// What the launcher process holds. Under Wine the handle, USER, GDI and private-byte counts
// read 0; the working set and the window count are real there.
struct Holdings {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
    DWORD handles = 0;
    DWORD userObjects = 0;
    DWORD gdiObjects = 0;
    int windows = 0;
};

BOOL CALLBACK countWindow(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<std::pair<DWORD, int>*>(param);
    DWORD owner = 0;
    (void)GetWindowThreadProcessId(window, &owner);
    if (owner == search.first) {
        ++search.second;
    }
    return TRUE;
}

Holdings holdings(DWORD processId)
{
    Holdings result;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        return result;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        result.workingSet = memory.WorkingSetSize;
        result.privateBytes = memory.PrivateUsage;
    }
    (void)GetProcessHandleCount(process, &result.handles);
    result.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    result.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    (void)CloseHandle(process);
    std::pair<DWORD, int> search{processId, 0};
    (void)EnumWindows(countWindow, reinterpret_cast<LPARAM>(&search));
    result.windows = search.second;
    return result;
}

// Each field's median over a stretch of samples: single samples of a working set wander by
// more than a megabyte under Wine, with pages loading and caches filling.
template <typename Field>
Field medianOf(const std::vector<Holdings>& samples, Field Holdings::*field)
{
    std::vector<Field> values(samples.size());
    std::transform(samples.begin(), samples.end(), values.begin(),
                   [&](const Holdings& sample) { return sample.*field; });
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

Holdings median(const std::vector<Holdings>& samples)
{
    return {medianOf(samples, &Holdings::workingSet), medianOf(samples, &Holdings::privateBytes),
            medianOf(samples, &Holdings::handles),    medianOf(samples, &Holdings::userObjects),
            medianOf(samples, &Holdings::gdiObjects), medianOf(samples, &Holdings::windows)};
}

// Growth allowed for what the platform itself caches; a leak per opening or per run would pass
// it fast.
constexpr SIZE_T kMemorySlack = 1024 * 1024;

void expectNoGrowth(const Holdings& before, const Holdings& after)
{
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.userObjects, before.userObjects);
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
    EXPECT_LE(after.windows, before.windows);
    EXPECT_LE(after.workingSet, before.workingSet + kMemorySlack) << before.workingSet << " -> " << after.workingSet;
    EXPECT_LE(after.privateBytes, before.privateBytes + kMemorySlack);
}

// Opens the Options dialog from the launcher and ends it the given way.
void openAndEndOptions(const LauncherProcess& launcher, HWND window, int way)
{
    (void)PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS, BN_CLICKED), 0);
    HWND options = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (options = launcher.findWindow("Options")) != nullptr; }));
    switch (way % 3) {
    case 0:
        (void)PostMessageA(options, WM_COMMAND, IDOK, 0);
        break;
    case 1:
        (void)PostMessageA(options, WM_COMMAND, IDCANCEL, 0);
        break;
    default:
        (void)PostMessageA(options, WM_CLOSE, 0, 0);
        break;
    }
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(options) && IsWindowEnabled(window); }));
}

} // namespace

TEST(Soak, OptionsOpenedAndClosed200TimesInOneRun)
{
    GameFolder game;
    game.addStandin("_Vorthal.exe");
    game.write("config.cfg", "screenWidth = 1280\r\nscreenHeight = 1024\r\nscreenBPP = 32\r\nbloom = 0\r\n");
    LauncherProcess launcher(game.path());
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();

    // The first openings load what the dialog needs once; compare the 20 after them with the
    // last 20.
    std::vector<Holdings> samples;
    for (int opening = 0; opening < 200; ++opening) {
        ASSERT_NO_FATAL_FAILURE(openAndEndOptions(launcher, window, opening)) << "opening " << opening;
        samples.push_back(holdings(launcher.id()));
    }
    expectNoGrowth(median({samples.begin() + 20, samples.begin() + 40}), median({samples.end() - 20, samples.end()}));

    expectPlayStartsTheGame(launcher, window, game);
}

TEST(Soak, FiftyRunsInARow)
{
    GameFolder game;
    game.addStandin("_Vorthal.exe");
    game.addStandin("xpad.exe");
    clearBrowserLog();
    const int launchersBefore = processesRunning("Vorthal.exe");

    std::vector<Holdings> samples;
    for (int runIndex = 0; runIndex < 50; ++runIndex) {
        SCOPED_TRACE(testing::Message() << "run " << runIndex);
        LauncherProcess launcher(game.path());
        const HWND window = launcher.waitForWindow();
        ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();
        samples.push_back(holdings(launcher.id()));

        const char* started = nullptr;
        switch (runIndex % 3) {
        case 0:
            (void)PostMessageA(GetDlgItem(window, IDC_PLAY), BM_CLICK, 0, 0);
            started = "_Vorthal.exe";
            break;
        case 1:
            (void)PostMessageA(GetDlgItem(window, IDC_CLOSE), BM_CLICK, 0, 0);
            break;
        default:
            (void)PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD, BN_CLICKED), 0);
            started = "xpad.exe";
            break;
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(launcher.waitForExit(20000, exitCode)) << "the launcher did not exit; " << launcher.describe();
        EXPECT_EQ(exitCode, 0u);
        if (started) {
            StandinRun run;
            ASSERT_TRUE(waitForStandin(game, started, run)) << started << " did not run: " << runningInWorld(started);
            endProcess(run);
            (void)DeleteFileA(game.file(std::string("ran-") + started + ".txt").c_str());
        } else {
            EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");
            clearBrowserLog();
        }
    }
    // Each run starts afresh: the last runs hold no more with their window open than the first.
    expectNoGrowth(median({samples.begin(), samples.begin() + 15}), median({samples.end() - 15, samples.end()}));
    EXPECT_EQ(processesRunning("Vorthal.exe"), launchersBefore);
}
