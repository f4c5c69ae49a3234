#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/dialog_template.h"

TEST(OptionsTemplate, IsACaptionedDialogInExtendedForm)
{
    const DialogTemplate dialog = loadDialogTemplate(IDD_OPTIONS);
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_CAPTION | DS_SETFONT)) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.width, 186);
    EXPECT_EQ(dialog.height, 99);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.windowClass, "");
    EXPECT_EQ(dialog.title, "Options");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_FALSE(dialog.italic);
    EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);
    EXPECT_EQ(dialog.font, "MS Sans Serif");
}

TEST(OptionsTemplate, HoldsItsNineControlsInTabOrder)
{
    constexpr DWORD hiddenCheckBox = WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED;
    expectItems(
        loadDialogTemplate(IDD_OPTIONS),
        {
            {IDOK, "BUTTON", "OK", 71, 78, 50, 14, WS_CHILD | BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0},
            {IDCANCEL, "BUTTON", "Cancel", 129, 78, 50, 14, WS_CHILD | BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0},
            {IDC_MOTIONBLUR, "BUTTON", "Motion Blur", 13, 40, 96, 10, hiddenCheckBox, 0},
            {IDC_LENSFLARE, "BUTTON", "Lens Flare", 13, 54, 49, 10, hiddenCheckBox, 0},
            {IDC_BLOOM, "BUTTON", "Bloom", 123, 40, 35, 10, WS_CHILD | BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 0},
            {IDC_SMOKE, "BUTTON", "Smoke", 123, 54, 38, 10, hiddenCheckBox, 0},
            {IDC_STATIC, "BUTTON", "Video", 7, 7, 172, 64, WS_CHILD | BS_GROUPBOX | BS_FLAT | WS_VISIBLE,
             WS_EX_ACCEPTFILES},
            {IDC_STATIC, "STATIC", "Screen Resolution", 15, 22, 59, 8, WS_CHILD | SS_LEFT | WS_GROUP | WS_VISIBLE, 0},
            {IDC_RESOLUTION, "COMBOBOX", "", 83, 19, 81, 58,
             WS_CHILD | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP, 0},
        });
}
