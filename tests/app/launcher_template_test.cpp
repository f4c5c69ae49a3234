#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/dialog_template.h"

TEST(LauncherTemplate, IsACaptionlessPopupInStandardForm)
{
    const DialogTemplate dialog = loadDialogTemplate(IDD_LAUNCHER);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_BORDER | DS_SETFONT));
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.width, 433);
    EXPECT_EQ(dialog.height, 236);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.windowClass, "");
    EXPECT_EQ(dialog.title, "");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "MS Sans Serif");
}

TEST(LauncherTemplate, HoldsItsSixControlsInTabOrder)
{
    constexpr DWORD flatButton = WS_CHILD | BS_PUSHBUTTON | BS_FLAT;
    expectItems(loadDialogTemplate(IDD_LAUNCHER),
                {
                    {IDC_PLAY, "BUTTON", "PLAY", 7, 215, 76, 14, flatButton | WS_VISIBLE | WS_TABSTOP},
                    {IDC_CLOSE, "BUTTON", "CLOSE", 377, 215, 49, 14, flatButton | WS_VISIBLE | WS_TABSTOP},
                    {IDC_WEBVIEW, "STATIC", "", 7, 7, 419, 202, WS_CHILD | SS_BLACKRECT | WS_VISIBLE},
                    {IDC_GAMEPAD, "BUTTON", "GAMEPAD", 95, 215, 73, 14, flatButton},
                    {IDC_OPTIONS, "BUTTON", "OPTONS", 292, 215, 73, 14, flatButton},
                    {IDC_LAUNCHERCOMBO, "COMBOBOX", "", 187, 215, 90, 43,
                     WS_CHILD | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_DISABLED},
                });
}
