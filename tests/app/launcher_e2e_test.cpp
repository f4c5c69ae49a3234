// The real launcher, started under Wine in a game folder of its own with the stand-in game and
// gamepad tool, and driven from outside as a player would.
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "shared/portal_address.h"
#include "support/launcher_process.h"

namespace {

enum class Action { Play, Close, Gamepad, CloseRequest };

void perform(HWND window, Action action)
{
    switch (action) {
    case Action::Play:
        (void)PostMessageA(GetDlgItem(window, IDC_PLAY), BM_CLICK, 0, 0);
        break;
    case Action::Close:
        (void)PostMessageA(GetDlgItem(window, IDC_CLOSE), BM_CLICK, 0, 0);
        break;
    case Action::Gamepad: // hidden, so only its command can be given
        (void)PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD, BN_CLICKED), 0);
        break;
    case Action::CloseRequest:
        (void)PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
}

// Starts the launcher in the game folder, waits for its window, acts, and expects it to exit
// with 0.
void runAndAct(const GameFolder& game, Action action, const std::string& arguments = "")
{
    LauncherProcess launcher(game.path(), arguments);
    ASSERT_TRUE(launcher.started()) << launcher.describe();
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();
    perform(window, action);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.waitForExit(20000, exitCode)) << "the launcher did not exit; " << launcher.describe();
    EXPECT_EQ(exitCode, 0u);
}

class LauncherRun : public testing::Test {
protected:
    // The launcher runs from a current directory that is not its own folder, with its
    // programs' stand-ins in the game folder.
    void SetUp() override
    {
        game.addStandin("_Vorthal.exe");
        game.addStandin("xpad.exe");
        clearBrowserLog();
    }

    // Expects the stand-in of that name to have run from the game folder and to be running
    // still, although the launcher has exited; then ends it.
    void expectStarted(const std::string& name)
    {
        StandinRun run;
        ASSERT_TRUE(waitForStandin(game, name, run)) << name << " did not run: " << runningInWorld(name.c_str());
        EXPECT_EQ(run.module, game.file(name));
        EXPECT_EQ(run.directory, game.path());
        EXPECT_TRUE(processRunning(run.processId)) << "the launcher waited for " << name;
        endProcess(run);
    }

    GameFolder game;
};

// A key pressed in the launcher, delivered to its focus window as the keyboard would.
void pressKey(const LauncherProcess& launcher, HWND window, WPARAM key)
{
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui));
    ASSERT_NE(gui.hwndFocus, nullptr) << "nothing has the focus in launcher " << launcher.id();
    (void)PostMessageA(gui.hwndFocus, WM_KEYDOWN, key, 1);
    (void)PostMessageA(gui.hwndFocus, WM_KEYUP, key, 0xC0000001);
}

} // namespace

TEST_F(LauncherRun, PlayStartsTheGameFromTheCurrentDirectory)
{
    ASSERT_NO_FATAL_FAILURE(runAndAct(game, Action::Play));
    expectStarted("_Vorthal.exe");
    EXPECT_FALSE(game.exists("ran-xpad.exe.txt"));
}

TEST_F(LauncherRun, GamepadStartsTheGamepadTool)
{
    ASSERT_NO_FATAL_FAILURE(runAndAct(game, Action::Gamepad));
    expectStarted("xpad.exe");
    EXPECT_FALSE(game.exists("ran-_Vorthal.exe.txt"));
}

TEST_F(LauncherRun, CloseAndCloseRequestOpenTheStatisticsPage)
{
    for (Action action : {Action::Close, Action::CloseRequest}) {
        SCOPED_TRACE(static_cast<int>(action));
        clearBrowserLog();
        ASSERT_NO_FATAL_FAILURE(runAndAct(game, action));
        EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");
        EXPECT_FALSE(game.exists("ran-_Vorthal.exe.txt"));
    }
}

TEST_F(LauncherRun, CommandLineArgumentsChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(runAndAct(game, Action::Play, "-windowed /gamepad xpad.exe \"http://example.invalid/\""));
    expectStarted("_Vorthal.exe");
}

TEST_F(LauncherRun, EscKeepsItOpenAndEnterPressesTheFocusedButton)
{
    LauncherProcess launcher(game.path());
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();
    pressKey(launcher, window, VK_ESCAPE);
    DWORD exitCode = 1;
    EXPECT_FALSE(launcher.waitForExit(1000, exitCode)) << "Esc ended the launcher; " << launcher.describe();

    // Tab goes round PLAY and CLOSE only, and the button it lands on becomes the one Enter
    // presses. (Under Wine the button focused at start does not take the default frame, so
    // Enter before any Tab comes as IDOK, which the launcher ignores.)
    pressKey(launcher, window, VK_TAB);
    pressKey(launcher, window, VK_TAB);
    pressKey(launcher, window, VK_RETURN);
    ASSERT_TRUE(launcher.waitForExit(20000, exitCode)) << "the launcher did not exit; " << launcher.describe();
    EXPECT_EQ(exitCode, 0u);
    expectStarted("_Vorthal.exe");
}

TEST(LauncherWithoutGame, MissingTargetStillExitsWithZero)
{
    GameFolder empty;
    for (Action action : {Action::Play, Action::Gamepad}) {
        SCOPED_TRACE(static_cast<int>(action));
        ASSERT_NO_FATAL_FAILURE(runAndAct(empty, action));
    }
}

// Wine ends a start for real before the new process initialises where the environment holds a
// WINEDEBUG that Linux refuses to hand on (an entry longer than 128 KiB): Wine copies that
// entry into the Unix environment of the new process's loader. The harness makes such a start
// once more and lists it; a second failure in a row is the start's result.
TEST(HarnessStart, WinesFaultAtAStartIsMadeOnceMoreAndListed)
{
    std::string refused = "WINEDEBUG=-all," + std::string(200000, 'x');
    refused.append(1, '\0').append(1, '\0');
    const struct {
        int endingEarly; // how many starts in a row Wine ends
        DWORD error;
        const char* outcome;
    } cases[] = {
        {1, ERROR_SUCCESS, "it was made once more, and that start succeeded\n"},
        {2, ERROR_INTERNAL_ERROR, "it was made once more, and that start failed too, error 1359"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.endingEarly);
        GameFolder game;
        const std::string log = game.file("second-runs.log");
        int starts = 0;
        PROCESS_INFORMATION process{};
        bool madeAgain = false;
        const DWORD error = startProcess(
            [&] {
                STARTUPINFOA startup{};
                startup.cb = sizeof startup;
                std::string commandLine = "\"" VORTHAL_TEST_STANDIN "\"";
                return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      ++starts <= c.endingEarly ? refused.data() : nullptr, game.path().c_str(),
                                      &startup, &process) != FALSE;
            },
            "the stand-in", madeAgain, log);
        if (error == ERROR_SUCCESS) {
            (void)TerminateProcess(process.hProcess, 0);
            (void)WaitForSingleObject(process.hProcess, 5000);
            (void)CloseHandle(process.hThread);
            (void)CloseHandle(process.hProcess);
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(starts, 2);
        EXPECT_TRUE(madeAgain);
        const std::string line = readWholeFile(log);
        EXPECT_EQ(line.rfind("HarnessStart.WinesFaultAtAStartIsMadeOnceMoreAndListed: the start of the stand-in failed "
                             "with error 1359",
                             0),
                  0u)
            << line;
        EXPECT_NE(line.find(c.outcome), std::string::npos) << line;
    }
}
