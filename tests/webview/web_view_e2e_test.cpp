// The real launcher under Wine, built with its portal on the loopback address where the
// stand-in portal listens: with Wine's browser control, and with that control made unavailable.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "resources/resource.h"
#include "shared/portal_address.h"
#include "support/launcher_process.h"

namespace {

// What the stand-in portal was asked for, one "METHOD path" a line.
std::string portalRequests()
{
    std::ifstream in(VORTHAL_TEST_PORTAL_LOG, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void clearPortalRequests()
{
    (void)DeleteFileA(VORTHAL_TEST_PORTAL_LOG);
}

bool waitForPortalRequest(DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    while (portalRequests().empty()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

void click(HWND window, int button)
{
    (void)PostMessageA(GetDlgItem(window, button), BM_CLICK, 0, 0);
}

void expectExitWithZero(const LauncherProcess& launcher)
{
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.waitForExit(20000, exitCode)) << "the launcher did not exit; " << launcher.describe();
    EXPECT_EQ(exitCode, 0u);
}

} // namespace

TEST(WebViewInLauncher, ShowsTheControlInThePlaceholderAndAsksThePortalForTheStartPage)
{
    GameFolder game;
    clearPortalRequests();
    clearBrowserLog();
    LauncherProcess launcher(game.path());
    ASSERT_TRUE(launcher.started()) << launcher.describe();
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();

    const HWND placeholder = GetDlgItem(window, IDC_WEBVIEW);
    const HWND control = GetWindow(placeholder, GW_CHILD);
    ASSERT_NE(control, nullptr) << "no control in the placeholder";
    RECT area{};
    RECT frame{};
    GetWindowRect(placeholder, &area);
    GetWindowRect(control, &frame);
    EXPECT_TRUE(EqualRect(&frame, &area));

    EXPECT_TRUE(waitForPortalRequest()) << "the portal heard nothing";
    click(window, IDC_CLOSE);
    expectExitWithZero(launcher);
    EXPECT_EQ(portalRequests(), "GET /?mini=2&gameid=219\n");
    EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");
}

// Run with the browser control's library switched off for Wine (see CMakeLists.txt): Wine 8
// takes WINEDLLOVERRIDES from the Unix environment it inherits, not from the environment block
// a program hands to CreateProcess.
TEST(WebViewInLauncher, WithoutTheBrowserControlPlayAndCloseStillWork)
{
    for (int button : {IDC_PLAY, IDC_CLOSE}) {
        SCOPED_TRACE(button);
        GameFolder game;
        game.addStandin("_Vorthal.exe");
        clearBrowserLog();
        clearPortalRequests();
        LauncherProcess launcher(game.path());
        ASSERT_TRUE(launcher.started()) << launcher.describe();
        const HWND window = launcher.waitForWindow();
        ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();
        EXPECT_EQ(GetWindow(GetDlgItem(window, IDC_WEBVIEW), GW_CHILD), nullptr);

        click(window, button);
        expectExitWithZero(launcher);
        if (button == IDC_PLAY) {
            StandinRun run;
            EXPECT_TRUE(waitForStandin(game, "_Vorthal.exe", run))
                << "the game did not start: " << runningInWorld("_Vorthal.exe");
            endProcess(run);
        } else {
            EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");
        }
        EXPECT_EQ(portalRequests(), "");
    }
}
