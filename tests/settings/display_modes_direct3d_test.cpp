// Wine's real Direct3D 9 on the test world's screen, with a stand-in d3d9.dll lying next to this
// program, where a load by name alone would find it first.
#include "settings/display_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "display_mode_printing.h"
#include "system_direct3d.h"

namespace {

bool gameFolderDirect3DLoaded()
{
    char value[16] = {};
    return GetEnvironmentVariableA("VORTHAL_GAME_FOLDER_D3D9", value, sizeof value) != 0;
}

} // namespace

TEST(SystemDirect3D, ListsTheScreensModeAt32Bits)
{
    {
        SystemDirect3D direct3d;
        ASSERT_NE(direct3d.get(), nullptr) << "no Direct3D 9 on this machine";
        std::cout << describeAdapterModes(*direct3d.get());
    }
    enumerateDisplayModes();
    for (const DisplayMode& mode : displayModeList) {
        std::cout << "listed: " << testing::PrintToString(mode) << "\n";
    }
    const DisplayMode screen{GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXSCREEN), 32};
    EXPECT_NE(std::find(displayModeList.begin(), displayModeList.end(), screen), displayModeList.end())
        << testing::PrintToString(displayModeList);
}

TEST(SystemDirect3D, NeverLoadsTheD3d9InTheProgramsFolder)
{
    enumerateDisplayModes();
    EXPECT_FALSE(displayModeList.empty());
    EXPECT_FALSE(gameFolderDirect3DLoaded());

    // The stand-in is where the search order looks first, so the test above means something.
    const HMODULE byName = LoadLibraryA("d3d9.dll");
    EXPECT_TRUE(gameFolderDirect3DLoaded());
    (void)FreeLibrary(byName);
}
