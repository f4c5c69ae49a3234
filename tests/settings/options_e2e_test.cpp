// The real launcher under Wine, in a game folder with a config.cfg: the OPTONS command, the
// Options dialog as a player uses it, and the launcher going on afterwards; all the while,
// DLLs planted in the game folder under the names of the ones it loads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

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

// Every DLL that the launcher loads in a run through Options, OK and PLAY, as Wine's +loaddll
// names them on either architecture, and those that Windows loads in their place or besides.
const char* const kLauncherDlls[] = {
    "advapi32.dll", "combase.dll",  "comctl32.dll",   "d3d9.dll",     "dwmapi.dll",  "gdi32.dll",   "ieframe.dll",
    "imm32.dll",    "kernel32.dll", "kernelbase.dll", "mpr.dll",      "msvcrt.dll",  "ole32.dll",   "oleaut32.dll",
    "opengl32.dll", "rpcrt4.dll",   "sechost.dll",    "setupapi.dll", "shcore.dll",  "shell32.dll", "shlwapi.dll",
    "ucrtbase.dll", "urlmon.dll",   "user32.dll",     "uxtheme.dll",  "version.dll", "win32u.dll",  "wined3d.dll",
    "wininet.dll",  "ws2_32.dll",   "zlib1.dll",
};

// What Wine's +pid,+loaddll log says that the process loaded from the folder: "name native" or
// "name builtin" for each load, in the log's order, the name in lower case.
std::vector<std::string> loadsFrom(const std::string& folder, DWORD processId, const std::string& log)
{
    std::ostringstream prefix;
    prefix << std::hex << std::setw(4) << std::setfill('0') << processId << ':';
    const std::string opening = "Loaded L\"";
    std::vector<std::string> loads;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t open = line.find(opening);
        const std::size_t close = line.find('"', open + opening.size());
        if (line.rfind(prefix.str(), 0) != 0 || open == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::string path;
        for (std::size_t i = open + opening.size(); i < close; ++i) {
            path += line[i];
            i += line[i] == '\\'; // the log doubles every backslash
        }
        const std::size_t leaf = path.rfind('\\');
        if (leaf == folder.size() && lstrcmpiA(path.substr(0, leaf).c_str(), folder.c_str()) == 0) {
            std::string name = path.substr(leaf + 1);
            (void)CharLowerA(name.data());
            loads.push_back(name + (line.find(": native") != std::string::npos ? " native" : " builtin"));
        }
    }
    return loads;
}

} // namespace

TEST(OptionsInTheLauncher, OkRewritesConfigAndTheLauncherGoesOn)
{
    GameFolder game;
    game.addStandin("_Vorthal.exe");
    game.addCopy("Vorthal.exe", VORTHAL_TEST_LAUNCHER);
    for (const char* name : kLauncherDlls) {
        game.addCopy(name, VORTHAL_TEST_DLL_MARKER);
    }
    game.write("config.cfg", "screenWidth = 1024\r\nscreenHeight = 768\r\nscreenBPP = 32\r\n\r\n"
                             "a line of the game's own, without line end");
    // The game that PLAY starts loads its d3d9.dll by name, as a game with a graphics wrapper does.
    LauncherProcess launcher(game.path(), "", {"WINEDEBUG=+pid,+loaddll", "VORTHAL_STANDIN_LOADS=d3d9.dll"},
                             game.file("Vorthal.exe"));
    const HWND window = launcher.waitForWindow();
    ASSERT_NE(window, nullptr) << "no launcher window; " << launcher.describe();

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

    // No planted DLL ran in the launcher, not even as a dependency of a system DLL, while the
    // game still loaded the one beside it.
    EXPECT_EQ(game.read("dll-markers.txt"), game.file("_Vorthal.exe") + "|" + game.file("d3d9.dll") + "\n");
    // Before the launcher runs a line, Wine's loader looks for the program's imports, what they
    // import and its own start-up DLLs in the program's folder first, and takes its builtin DLLs
    // in their place. The imports are Windows' known DLLs, which Windows never looks for there.
    const std::vector<std::string> allowed = {
        "vorthal.exe native",   "advapi32.dll builtin", "combase.dll builtin",    "gdi32.dll builtin",
        "imm32.dll builtin",    "kernel32.dll builtin", "kernelbase.dll builtin", "msvcrt.dll builtin",
        "ole32.dll builtin",    "oleaut32.dll builtin", "rpcrt4.dll builtin",     "sechost.dll builtin",
        "setupapi.dll builtin", "ucrtbase.dll builtin", "user32.dll builtin",     "version.dll builtin",
        "win32u.dll builtin",   "zlib1.dll builtin",
    };
    const std::vector<std::string> loads = loadsFrom(game.path(), launcher.id(), wineOutput());
    ASSERT_NE(std::find(loads.begin(), loads.end(), "vorthal.exe native"), loads.end()) << "no +loaddll log of it";
    EXPECT_TRUE(std::all_of(loads.begin(), loads.end(), [&](const std::string& load) {
        return std::find(allowed.begin(), allowed.end(), load) != allowed.end();
    })) << testing::PrintToString(loads);
}
