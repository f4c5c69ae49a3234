// Wine's real Direct3D 9 in a world whose screen is smaller than the smallest mode offered.
#include "settings/display_modes.h"

#include <gtest/gtest.h>

#include <iostream>

#include "display_mode_printing.h"
#include "system_direct3d.h"

TEST(SystemDirect3DOnASmallScreen, ListsNothing)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(width < 1024 || height < 768) << width << " x " << height;
    {
        // The adapter does report the screen's mode, so an empty list is the filter's doing.
        SystemDirect3D direct3d;
        ASSERT_NE(direct3d.get(), nullptr);
        std::cout << describeAdapterModes(*direct3d.get());
        EXPECT_TRUE(
            adapterReports(*direct3d.get(), D3DFMT_X8R8G8B8, static_cast<UINT>(width), static_cast<UINT>(height)));
    }
    displayModeList = {{768, 1024, 32}};
    enumerateDisplayModes();
    EXPECT_EQ(displayModeList, DisplayModeList{});
}
