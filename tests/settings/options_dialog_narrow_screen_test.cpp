// The Options dialog in the small-screen world, whose screen is narrower than the dialog.
#include "settings/options_dialog.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "settings/display_modes.h"
#include "shared/window_centring.h"
#include "support/modal_dialog.h"

TEST(OptionsDialogOnANarrowScreen, OverhangsBothEdgesAlike)
{
    displayModeList = {};
    runModal(IDD_OPTIONS, OptionsDlgProc, [](HWND dialog) {
        RECT frame{};
        GetWindowRect(dialog, &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        ASSERT_GT(width, screenWidth);
        EXPECT_LT(frame.left, 0);
        EXPECT_EQ(frame.left, centredOrigin(screenWidth, width));
        EXPECT_EQ(frame.top, centredOrigin(GetSystemMetrics(SM_CYSCREEN), height));
    });
}
