// The real launcher under Wine, in a game folder with a config.cfg: the OPTONS command, the
// Options dialog as a player uses it, and the launcher going on afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "support/launcher_process.h"

namespace {

// The index of the entry with that text in another process's combo box, or -1. Asked in wide
// text: Wine hands CB_GETLBTEXT across processes in wide characters even to an ANSI caller.
LRESULT entryIndex(HWND combo, const std::wstring& text)
{
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        wchar_t entry[64] = {};
        (void)SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
        if (text == entry) {
            return index;
        }
    }
    return -1;
}

} // namespace

TEST(OptionsInTheLauncher, OkRewritesConfigAndTheLauncherGoesOn)
{
    GameFolder game;
    game.addStandin("_Vorthal.exe");
    game.write("config.cfg", "screenWidth = 1024\r\nscreenHeight = 768\r\nscreenBPP = 32\r\n\r\n"
                             "a line of the game's own, without line end");
    LauncherProcess launcher(game.path());
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr);

    // OPTONS is hidden: only its command can be given, and posted, since the dialog is modal.
    (void)PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS, BN_CLICKED), 0);
    HWND options = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (options = launcher.findWindow("Options")) != nullptr; }));
    EXPECT_EQ(GetWindow(options, GW_OWNER), window);
    EXPECT_FALSE(IsWindowEnabled(window));

    // The test world's screen is 1280 by 1024, the one mode Wine reports.
    const HWND resolutions = GetDlgItem(options, IDC_RESOLUTION);
    const LRESULT entry = entryIndex(resolutions, L"1280 x 1024 x 32");
    ASSERT_GE(entry, 0) << SendMessageA(resolutions, CB_GETCOUNT, 0, 0) << " entries";
    (void)SendMessageA(resolutions, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    (void)SendMessageA(GetDlgItem(options, IDC_BLOOM), BM_CLICK, 0, 0);
    (void)PostMessageA(GetDlgItem(options, IDOK), BM_CLICK, 0, 0);

    ASSERT_TRUE(waitUntil([&] { return !IsWindow(options) && IsWindowEnabled(window); }));
    // No bloom line is added although Bloom is ticked; every line now ends in CR LF.
    EXPECT_EQ(game.read("config.cfg"), "screenWidth = 1280\r\nscreenHeight = 1024\r\nscreenBPP = 32\r\n\r\n"
                                       "a line of the game's own, without line end\r\n");

    expectPlayStartsTheGame(launcher, window, game);
}
