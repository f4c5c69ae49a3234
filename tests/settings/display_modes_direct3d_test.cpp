// Wine's real Direct3D 9 on the test world's screen, with a marker d3d9.dll lying next to this
// program, where a load by name alone would find it first.
#include "settings/display_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "display_mode_printing.h"
#include "support/launcher_process.h"
#include "system_direct3d.h"

namespace {

// What the marker d3d9.dll beside this program records of the processes that load it.
std::string plantedDirect3DRecord()
{
    char program[MAX_PATH] = {};
    (void)GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string record = program;
    return record.replace(record.rfind('\\') + 1, std::string::npos, "dll-markers.txt");
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
    (void)DeleteFileA(plantedDirect3DRecord().c_str());
    enumerateDisplayModes();
    EXPECT_FALSE(displayModeList.empty());
    EXPECT_EQ(readWholeFile(plantedDirect3DRecord()), "");

    // The marker is where the search order looks first, so the test above means something.
    const HMODULE byName = LoadLibraryA("d3d9.dll");
    EXPECT_NE(readWholeFile(plantedDirect3DRecord()), "");
    (void)FreeLibrary(byName);
}
