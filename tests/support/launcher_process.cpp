#include "support/launcher_process.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "resources/resource.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    (void)GetWindowThreadProcessId(window, &owner);
    char text[256] = {};
    (void)GetWindowTextA(window, text, sizeof text);
    if (owner == search.processId && IsWindowVisible(window) && (!search.title || std::string(text) == search.title)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// The file name of a process's program, or "?" where it cannot be asked.
std::string programName(DWORD processId)
{
    char path[MAX_PATH] = "?";
    DWORD size = sizeof path;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process) {
        (void)QueryFullProcessImageNameA(process, 0, path, &size);
        (void)CloseHandle(process);
    }
    const char* name = std::strrchr(path, '\\');
    return name ? name + 1 : path;
}

BOOL CALLBACK listWindow(HWND window, LPARAM param)
{
    auto& list = *reinterpret_cast<std::ostringstream*>(param);
    DWORD owner = 0;
    (void)GetWindowThreadProcessId(window, &owner);
    char className[256] = {};
    char text[256] = {};
    (void)GetClassNameA(window, className, sizeof className);
    (void)GetWindowTextA(window, text, sizeof text);
    list << "\n  " << window << " process " << owner << " " << programName(owner)
         << (IsWindowVisible(window) ? " visible" : " hidden") << " class \"" << className << "\" title \"" << text
         << '"';
    return TRUE;
}

// Every top-level window of the world, one a line: handle, process, visibility, class and title.
std::string topLevelWindows()
{
    std::ostringstream list;
    (void)EnumWindows(listWindow, reinterpret_cast<LPARAM>(&list));
    return list.str();
}

// "error N (the system's text for it)".
std::string errorText(DWORD error)
{
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string said(text, length);
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == '.')) {
        said.pop_back();
    }
    return "error " + std::to_string(error) + (said.empty() ? "" : " (" + said + ")");
}

// The running test's name, or this program's file name outside a test.
std::string testName()
{
    if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info()) {
        return std::string(test->test_suite_name()) + "." + test->name();
    }
    char path[MAX_PATH] = {};
    (void)GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    return name ? name + 1 : path;
}

} // namespace

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

GameFolder::GameFolder()
{
    char temp[MAX_PATH] = {};
    (void)GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    std::ostringstream name;
    name << temp << "vorthal-game-" << GetCurrentProcessId() << "-" << GetTickCount() << "-" << ++counter;
    path_ = name.str();
    (void)CreateDirectoryA(path_.c_str(), nullptr);
}

GameFolder::~GameFolder()
{
    // SHFileOperation wants a list that ends in two zeros.
    std::vector<char> from(path_.begin(), path_.end());
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    (void)SHFileOperationA(&operation);
}

void GameFolder::addStandin(const std::string& name) const
{
    addCopy(name, VORTHAL_TEST_STANDIN);
}

void GameFolder::addCopy(const std::string& name, const char* source) const
{
    (void)CopyFileA(source, file(name).c_str(), FALSE);
}

void GameFolder::write(const std::string& name, const std::string& bytes) const
{
    writeWholeFile(file(name), bytes);
}

bool GameFolder::exists(const std::string& name) const
{
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string GameFolder::read(const std::string& name) const
{
    return readWholeFile(file(name));
}

bool waitForStandin(const GameFolder& folder, const std::string& name, StandinRun& run, DWORD timeoutMs)
{
    const std::string record = "ran-" + name + ".txt";
    // The stand-in writes its record in one go; wait for the last of its three lines.
    const bool complete = waitUntil(
        [&] {
            const std::string text = folder.read(record);
            return !text.empty() && text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == 3;
        },
        timeoutMs);
    if (!complete) {
        return false;
    }
    std::istringstream lines(folder.read(record));
    std::getline(lines, run.module);
    std::getline(lines, run.directory);
    lines >> run.processId;
    return true;
}

std::string wineOutput()
{
    // The copy is written after the pipe: once a line printed now is in it, so is everything
    // printed before, by any process.
    static unsigned count = 0;
    const std::string line = "wine output up to here, " + std::to_string(GetCurrentProcessId()) + "." +
                             std::to_string(++count);
    std::fprintf(stderr, "%s\n", line.c_str());
    (void)std::fflush(stderr);
    std::string output;
    (void)waitUntil([&] { return (output = readWholeFile(VORTHAL_TEST_STDERR_LOG)).find(line) != std::string::npos; });
    return output;
}

std::string browserLog()
{
    return readWholeFile(VORTHAL_TEST_BROWSER_LOG);
}

void clearBrowserLog()
{
    (void)DeleteFileA(VORTHAL_TEST_BROWSER_LOG);
}

std::string waitForBrowserLog(DWORD timeoutMs)
{
    // Wine's bridge hands the address to the browser and ends; a test that went on meanwhile
    // would remove the folder that the bridge was started in.
    (void)waitUntil([] { return !browserLog().empty() && processesRunning("winebrowser.exe") == 0; }, timeoutMs);
    return browserLog();
}

std::string secondRunsLog()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VORTHAL_SECOND_RUNS_LOG", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? path : "";
}

DWORD startProcess(const std::function<bool()>& start, const std::string& program, bool& madeAgain,
                   const std::string& log)
{
    madeAgain = false;
    if (start()) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR) {
        return error;
    }
    madeAgain = true;
    const DWORD again = start() ? ERROR_SUCCESS : GetLastError();
    const std::string line = testName() + ": the start of " + program + " failed with " + errorText(error) +
                             ": Wine's new process ended before it initialised; it was made once more, and " +
                             (again == ERROR_SUCCESS ? std::string("that start succeeded")
                                                     : "that start failed too, " + errorText(again)) +
                             "\n";
    if (log.empty()) {
        std::fprintf(stderr, "%s", line.c_str());
    } else {
        std::ofstream(log, std::ios::app | std::ios::binary) << line;
    }
    return again;
}

LauncherProcess::LauncherProcess(const std::string& currentDirectory, const std::string& arguments,
                                 const std::vector<std::string>& environment, const std::string& program)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    // The extra NAME=value entries are added to a copy of this process's environment, in place
    // of any of the same name there.
    std::string block;
    if (!environment.empty()) {
        const auto named = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1) + 1); };
        const char* own = GetEnvironmentStringsA();
        for (const char* entry = own; *entry; entry += std::strlen(entry) + 1) {
            const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const std::string& extra) {
                return lstrcmpiA(named(extra).c_str(), named(entry).c_str()) == 0;
            });
            if (!replaced) {
                block.append(entry, std::strlen(entry) + 1);
            }
        }
        (void)FreeEnvironmentStringsA(const_cast<char*>(own));
        for (const std::string& entry : environment) {
            block.append(entry).push_back('\0');
        }
        block.push_back('\0');
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startError_ = startProcess(
        [&] {
            return CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  block.empty() ? nullptr : block.data(), currentDirectory.c_str(), &startup,
                                  &process_) != FALSE;
        },
        program, startedAgain_);
    if (startError_ != ERROR_SUCCESS) {
        process_ = {};
    }
}

LauncherProcess::~LauncherProcess()
{
    if (!started()) {
        return;
    }
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        (void)TerminateProcess(process_.hProcess, 1);
        (void)WaitForSingleObject(process_.hProcess, 5000);
    }
    (void)CloseHandle(process_.hThread);
    (void)CloseHandle(process_.hProcess);
}

HWND LauncherProcess::findWindow(const char* title) const
{
    WindowSearch search{process_.dwProcessId, title, nullptr};
    (void)EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool LauncherProcess::running() const
{
    return started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND LauncherProcess::waitForWindow(DWORD timeoutMs) const
{
    HWND window = nullptr;
    (void)waitUntil([&] { return (window = findWindow("Vorthal")) != nullptr || !running(); }, timeoutMs);
    return window;
}

bool LauncherProcess::waitForExit(DWORD timeoutMs, DWORD& exitCode) const
{
    if (!started() || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(process_.hProcess, &exitCode) != FALSE;
}

std::string LauncherProcess::describe() const
{
    std::ostringstream text;
    DWORD exitCode = 0;
    if (!started()) {
        text << "the process did not start: " << errorText(startError_);
        if (startedAgain_) {
            text << ", and the start had already been made once more after Wine's error 1359";
        }
    } else if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        text << "process " << id() << " still runs";
    } else if (GetExitCodeProcess(process_.hProcess, &exitCode)) {
        text << "process " << id() << " ended with exit code " << exitCode << " (0x" << std::hex << exitCode << std::dec
             << ")";
    } else {
        text << "process " << id() << " ended";
    }
    text << "; the top-level windows:" << topLevelWindows();
    return text.str();
}

void expectPlayStartsTheGame(const LauncherProcess& launcher, HWND window, const GameFolder& game)
{
    (void)PostMessageA(GetDlgItem(window, IDC_PLAY), BM_CLICK, 0, 0);
    StandinRun run;
    ASSERT_TRUE(waitForStandin(game, "_Vorthal.exe", run))
        << "the game did not start: " << runningInWorld("_Vorthal.exe") << "; " << launcher.describe();
    endProcess(run);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.waitForExit(20000, exitCode)) << "the launcher did not exit; " << launcher.describe();
    EXPECT_EQ(exitCode, 0u);
}

bool processRunning(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        return false;
    }
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    (void)CloseHandle(process);
    return running;
}

int processesRunning(const char* program)
{
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        count += lstrcmpiA(entry.szExeFile, program) == 0;
    }
    (void)CloseHandle(snapshot);
    return count;
}

std::string runningInWorld(const char* program)
{
    const int count = processesRunning(program);
    std::ostringstream text;
    if (count == 0) {
        text << "no process of " << program << " runs in the world";
    } else {
        text << count << (count == 1 ? " process of " : " processes of ") << program << (count == 1 ? " runs" : " run")
             << " in the world";
    }
    return text.str();
}

void endProcess(const StandinRun& run)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                 run.processId);
    if (!process) {
        return;
    }
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (QueryFullProcessImageNameA(process, 0, path, &size) && lstrcmpiA(path, run.module.c_str()) == 0) {
        (void)TerminateProcess(process, 0);
        (void)WaitForSingleObject(process, 5000);
    }
    (void)CloseHandle(process);
}
