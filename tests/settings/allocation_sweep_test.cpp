// The settings' whole path with each of its allocations failing in turn: loading config.cfg,
// listing the display modes, the Options dialog and its save. No failure may end the process or
// leave an exception to the dialog manager; after each the launcher goes on with what it has.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <iostream>
#include <string>

#include "display_mode_printing.h"
#include "resources/resource.h"
#include "settings/display_modes.h"
#include "settings/launcher_settings.h"
#include "settings/options_dialog.h"
#include "settings/settings_file.h"
#include "settings/settings_format.h"
#include "standin_direct3d.h"
#include "support/current_directory.h"
#include "support/launcher_process.h"
#include "support/modal_dialog.h"
#include "webview/allocation_watch.h"

namespace {

// Lines too long to be held without the heap, and modes whose entry texts are too.
const char
    kConfig[] = "screenWidth = 1280\r\nscreenHeight = 1024\r\nscreenBPP = 32\r\nbloom = 1\r\nfieldOfView = 90\r\n";
const LauncherSettings kLoaded{1280, 1024, 32, 1};
const DisplayModeList kModes{{768, 1024, 32}, {960, 1280, 32}, {1024, 1280, 32}, {1200, 1600, 32}, {1080, 1920, 32}};

bool temporaryLeftIn(const GameFolder& game)
{
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(game.file("*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

} // namespace

TEST(AllocationSweep, EveryFailingAllocationLeavesTheLauncherGoingOn)
{
    GameFolder game;
    const CurrentDirectory inGame(game.path());
    ASSERT_TRUE(inGame.entered());

    StandinDirect3D direct3d;
    direct3d.fullScreenFormats = {D3DFMT_A8R8G8B8};
    for (const DisplayMode& mode : kModes) {
        direct3d.modes[D3DFMT_A8R8G8B8].push_back({static_cast<UINT>(mode.width), static_cast<UINT>(mode.height)});
    }
    // What the stand-in notes must not take memory while allocations are counted.
    direct3d.checks.reserve(8);
    direct3d.adaptersAsked.reserve(64);
    direct3d.formatsEnumerated.reserve(8);

    // Noted from inside the counted run, where nothing may allocate.
    std::size_t filled = 0;
    LRESULT entries = 0;
    const std::function<void(HWND)> pressOk = [&](HWND dialog) {
        filled = allocationsCounted();
        entries = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0);
        (void)sendToDialog(dialog, WM_COMMAND, IDOK, 0);
    };

    for (std::size_t failing = 1;; ++failing) {
        ASSERT_LT(failing, 10000u) << "the run never ends without a failure";
        SCOPED_TRACE(testing::Message() << "allocation " << failing << " fails");
        game.write("config.cfg", kConfig);
        launcherSettings = {};
        DisplayModeList().swap(displayModeList);
        direct3d.references = 1;
        direct3d.checks.clear();
        direct3d.adaptersAsked.clear();
        direct3d.formatsEnumerated.clear();

        countAllocationsFailing(failing);
        loadSettings();
        const LauncherSettings afterLoading = launcherSettings;
        const std::size_t loaded = allocationsCounted();
        enumerateDisplayModesAndRelease(&direct3d);
        const std::size_t modesListed = displayModeList.size();
        const std::size_t listed = allocationsCounted();
        const INT_PTR result = runModal(IDD_OPTIONS, OptionsDlgProc, pressOk);
        const std::size_t total = stopCountingAllocations();

        if (total < failing) {
            // Nothing failed: every allocation of the path has had its turn.
            EXPECT_EQ(displayModeList, kModes);
            EXPECT_EQ(entries, static_cast<LRESULT>(kModes.size()));
            std::cout << "allocation sweep: " << total << " allocations, each made to fail in turn\n";
            RecordProperty("allocations", static_cast<int>(total));
            return;
        }
        ASSERT_EQ(result, IDOK);
        EXPECT_EQ(direct3d.references, 0) << "the Direct3D object was not released";
        EXPECT_FALSE(temporaryLeftIn(game));

        const bool failedLoading = failing <= loaded;
        const bool failedListing = !failedLoading && failing <= listed;
        const bool failedFilling = !failedLoading && !failedListing && failing <= filled;
        const bool failedSaving = failing > filled;
        // Values that could not be read stay as they were.
        EXPECT_EQ(afterLoading.screenWidth, failedLoading ? 0 : kLoaded.screenWidth);
        EXPECT_EQ(afterLoading.bloom, failedLoading ? 0 : kLoaded.bloom);
        // A list that could not grow is empty, as after a failing mode query.
        EXPECT_EQ(modesListed, failedListing ? 0u : kModes.size());
        EXPECT_EQ(displayModeList, failedListing ? DisplayModeList() : kModes);
        // The box offers the entries it got.
        if (failedFilling) {
            EXPECT_LT(entries, static_cast<LRESULT>(kModes.size()));
        } else {
            EXPECT_EQ(entries, static_cast<LRESULT>(modesListed));
        }
        // A save that failed leaves config.cfg as it was; any other writes the values in memory.
        EXPECT_EQ(game.read("config.cfg"),
                  failedSaving ? std::string(kConfig) : rewriteSettings(kConfig, launcherSettings));
    }
}
