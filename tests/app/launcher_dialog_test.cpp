#include "app/launcher_dialog.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "shared/window_centring.h"
#include "support/modal_dialog.h"

namespace {

// Runs the launcher dialog, hands it to whileOpen, and undoes what its initialisation set up,
// as the launcher does once the dialog has ended.
INT_PTR runLauncherDialog(const std::function<void(HWND)>& whileOpen)
{
    const INT_PTR result = runModal(IDD_LAUNCHER, LauncherDlgProc, whileOpen);
    undoLauncherDialogSetUp();
    return result;
}

} // namespace

TEST(LauncherDialog, CommandsEndItWithTheirIdOrLeaveItOpen)
{
    const struct {
        WPARAM wParam;
        INT_PTR result;
    } cases[] = {
        {IDC_PLAY, IDC_PLAY},
        {IDC_CLOSE, IDC_CLOSE},
        {IDC_GAMEPAD, IDC_GAMEPAD},
        {MAKEWPARAM(IDC_PLAY, BN_CLICKED), IDC_PLAY}, // the notification code plays no part
        {MAKEWPARAM(IDC_CLOSE, BN_DOUBLECLICKED), IDC_CLOSE},
        {IDOK, kStillOpen},     // Enter with no default button
        {IDCANCEL, kStillOpen}, // Esc
        {MAKEWPARAM(IDC_LAUNCHERCOMBO, CBN_SELCHANGE), kStillOpen},
        {IDC_WEBVIEW, kStillOpen},
        {4242, kStillOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "wParam " << std::hex << c.wParam);
        INT_PTR handled = 0;
        const INT_PTR result = runLauncherDialog(
            [&](HWND dialog) { handled = sendToDialog(dialog, WM_COMMAND, c.wParam, 0); });
        EXPECT_EQ(result, c.result);
        EXPECT_NE(handled, 0);
    }
}

TEST(LauncherDialog, CloseRequestEndsItLikeClose)
{
    INT_PTR handled = 0;
    EXPECT_EQ(runLauncherDialog([&](HWND dialog) { handled = sendToDialog(dialog, WM_CLOSE, 0, 0); }), IDC_CLOSE);
    EXPECT_NE(handled, 0);
}

TEST(LauncherDialog, LeavesOtherMessagesToTheDialogManager)
{
    const UINT messages[] = {WM_TIMER, WM_SIZE, WM_MOUSEMOVE, WM_USER, WM_APP, WM_NULL, WM_KEYDOWN};
    for (UINT message : messages) {
        SCOPED_TRACE(message);
        INT_PTR handled = -1;
        EXPECT_EQ(runLauncherDialog([&](HWND dialog) { handled = sendToDialog(dialog, message, 0, 0); }), kStillOpen);
        EXPECT_EQ(handled, 0);
    }
}

TEST(LauncherDialog, OpensTitledAndCentredOnThePrimaryScreen)
{
    runLauncherDialog([](HWND dialog) {
        char title[256] = {};
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_STREQ(title, "Vorthal");
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
        EXPECT_EQ(style & WS_SYSMENU, 0);

        RECT frame{};
        GetWindowRect(dialog, &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        EXPECT_GT(width, 433); // dialog units grew into pixels
        EXPECT_EQ(frame.left, centredOrigin(GetSystemMetrics(SM_CXSCREEN), width));
        EXPECT_EQ(frame.top, centredOrigin(GetSystemMetrics(SM_CYSCREEN), height));
    });
}

TEST(LauncherDialog, ShowsPlayCloseAndThePlaceholderOnly)
{
    runLauncherDialog([](HWND dialog) {
        const struct {
            int id;
            bool visible;
        } controls[] = {
            {IDC_PLAY, true},     {IDC_CLOSE, true},    {IDC_WEBVIEW, true},
            {IDC_GAMEPAD, false}, {IDC_OPTIONS, false}, {IDC_LAUNCHERCOMBO, false},
        };
        for (const auto& c : controls) {
            SCOPED_TRACE(c.id);
            ASSERT_NE(GetDlgItem(dialog, c.id), nullptr);
            EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, c.id)) != FALSE, c.visible);
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PLAY));
    });
}
