#pragma once

// Runs the real launcher under test in a temporary game folder and watches what it starts.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls ready every 20 ms until it holds or timeoutMs has passed; says whether it held.
template <typename Ready>
bool waitUntil(Ready ready, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// A file's bytes, as they are; a path relative to the current directory may lie in a folder
// whose name the ANSI code page cannot hold.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);

// A game folder of its own under %TEMP%, removed with everything in it at the end.
class GameFolder {
public:
    GameFolder();
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    // Puts the stand-in program into the folder under the given name.
    void addStandin(const std::string& name) const;
    // Puts a copy of that file into the folder under the given name.
    void addCopy(const std::string& name, const char* source) const;
    void write(const std::string& name, const std::string& bytes) const;
    bool exists(const std::string& name) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

// What a stand-in recorded when it ran: its own path, its current directory, its process id.
struct StandinRun {
    std::string module;
    std::string directory;
    DWORD processId = 0;
};

// Waits up to timeoutMs for the stand-in of that name to record its run in folder.
bool waitForStandin(const GameFolder& folder, const std::string& name, StandinRun& run, DWORD timeoutMs = 10000);

// What Wine has printed in this world so far, for this program and the programs it started.
std::string wineOutput();

// The addresses that the shell handed to the browser, one a line; and making that list empty.
std::string browserLog();
void clearBrowserLog();
// Waits up to timeoutMs for the browser log to hold something and for the shell's bridge to
// the browser, which outlives the program that opened the page, to have ended.
std::string waitForBrowserLog(DWORD timeoutMs = 10000);

// The world's list of second runs, as the runner names it, or "" outside the runner.
std::string secondRunsLog();

// Makes a start of a Windows program, `start` returning whether it succeeded with the error in
// GetLastError. Wine 8 fails a start with ERROR_INTERNAL_ERROR where the new process ended before
// it initialised, before any code of the program ran: that start alone is made once more, never
// in silence. A line naming the test, the program and how the second start went is appended to
// the log (by default the world's list of second runs, which scripts/test prints), or printed
// where there is none. Returns the last start's error, ERROR_SUCCESS where a start succeeded;
// madeAgain says whether a second start was made.
DWORD startProcess(const std::function<bool()>& start, const std::string& program, bool& madeAgain,
                   const std::string& log = secondRunsLog());

// The launcher program under test (or another program), started with the given current
// directory and, optionally, arguments and more NAME=value entries in its environment.
class LauncherProcess {
public:
    explicit LauncherProcess(const std::string& currentDirectory, const std::string& arguments = "",
                             const std::vector<std::string>& environment = {},
                             const std::string& program = VORTHAL_TEST_LAUNCHER);
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    // True while the process runs: not once it has ended, nor where it never started.
    bool running() const;
    DWORD id() const { return process_.dwProcessId; }

    // The launcher window once it is visible, or null after timeoutMs or as soon as the process
    // is seen not running.
    HWND waitForWindow(DWORD timeoutMs = 20000) const;
    // A visible top-level window of the process with this title (any title if null), or null.
    HWND findWindow(const char* title) const;
    // True when the process has ended within timeoutMs; its exit code then goes to exitCode.
    bool waitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    // What is to be seen now, for a failure message: whether the process runs or how it ended,
    // and the world's top-level windows.
    std::string describe() const;

private:
    PROCESS_INFORMATION process_{};
    DWORD startError_ = ERROR_SUCCESS;
    bool startedAgain_ = false;
};

// Presses PLAY in the launcher window and expects the game's stand-in to start and the launcher
// to exit with 0; ends the stand-in.
void expectPlayStartsTheGame(const LauncherProcess& launcher, HWND window, const GameFolder& game);

// True while the process of that id runs.
bool processRunning(DWORD processId);
// How many processes of the world run the program of that file name.
int processesRunning(const char* program);
// The same as words for a failure message, such as "no process of xpad.exe runs in the world".
std::string runningInWorld(const char* program);
// Ends the stand-in that made that record, if it still runs: only while its process id still
// names that program, since Wine hands a freed id out again at once.
void endProcess(const StandinRun& run);
