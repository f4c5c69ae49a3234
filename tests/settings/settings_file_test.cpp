// loadSettings and saveSettings on real files under Wine, each test in a folder of its own that
// is the current directory while the code under test runs, since it opens the bare name.
#include "settings/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "settings/launcher_settings.h"
#include "support/launcher_process.h"

using namespace std::string_literals;

namespace {

auto fields(const LauncherSettings& s)
{
    return std::make_tuple(s.screenWidth, s.screenHeight, s.screenBPP, s.bloom);
}

constexpr LauncherSettings kUntouched{7777, 6666, 55, 44};
constexpr LauncherSettings kChosen{1280, 1024, 32, 1};

const std::string kWorkedExample =
    "screenWidth = 1024\r\nscreenHeight = 768\r\nscreenBPP = 32\r\n\r\na line of the game's own, without line end";
const std::string kWorkedExampleSaved =
    "screenWidth = 1280\r\nscreenHeight = 1024\r\nscreenBPP = 32\r\n\r\na line of the game's own, without line end\r\n";

// Runs in the folder and tells what it holds.
class SettingsFile : public testing::Test {
protected:
    void SetUp() override { enter(folder.path()); }

    void TearDown() override
    {
        (void)SetFileAttributesA(folder.file("config.cfg").c_str(), FILE_ATTRIBUTE_NORMAL);
        (void)SetCurrentDirectoryA(previous.c_str());
    }

    void enter(const std::string& path)
    {
        char current[MAX_PATH] = {};
        (void)GetCurrentDirectoryA(MAX_PATH, current);
        if (previous.empty()) {
            previous = current;
        }
        ASSERT_TRUE(SetCurrentDirectoryA(path.c_str())) << path;
        launcherSettings = kUntouched;
    }

    // The names in the current directory, sorted.
    static std::vector<std::string> entries()
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA("*", &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        (void)FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::vector<std::string> onlyConfig() { return {"config.cfg"}; }

    GameFolder folder;
    std::string previous;
};

} // namespace

TEST_F(SettingsFile, LoadsAndSavesTheWorkedExampleExactly)
{
    folder.write("config.cfg", kWorkedExample);
    loadSettings();
    EXPECT_EQ(fields(launcherSettings), fields(LauncherSettings{1024, 768, 32, 44}));
    launcherSettings = kChosen;
    saveSettings();
    EXPECT_EQ(folder.read("config.cfg"), kWorkedExampleSaved);
    EXPECT_EQ(entries(), onlyConfig());
}

TEST_F(SettingsFile, MissingFileLoadsNothingAndIsCreatedEmptyBySave)
{
    loadSettings();
    EXPECT_EQ(fields(launcherSettings), fields(kUntouched));
    saveSettings();
    EXPECT_EQ(entries(), onlyConfig());
    EXPECT_EQ(folder.read("config.cfg"), "");
}

TEST_F(SettingsFile, PassesEveryByteThroughAndSavesWhatTheFileHoldsNow)
{
    // Bytes that the C runtime's text mode would stop at, lose or cut into pieces.
    const std::string longLine(10000, 'z');
    const std::string odd = "a\x1A\r\nscreenWidth = 1920\nnul\0byte\r\nlone\rcr\n"s + longLine + "screenHeight = 1\r\n";
    folder.write("config.cfg", odd + "bloom = 1");
    loadSettings();
    EXPECT_EQ(fields(launcherSettings), fields(LauncherSettings{1920, 6666, 55, 1}));

    folder.write("config.cfg", "game = 1\n" + odd + "screenBPP = 16"); // changed by the game since
    launcherSettings = kChosen;
    saveSettings();
    EXPECT_EQ(folder.read("config.cfg"), "game = 1\r\na\x1A\r\nscreenWidth = 1280\r\nnul\0byte\r\nlone\rcr\r\n"s +
                                             longLine + "screenHeight = 1\r\nscreenBPP = 32\r\n");
    EXPECT_EQ(entries(), onlyConfig());
}

TEST_F(SettingsFile, SaveKeepsAHiddenFileHidden)
{
    folder.write("config.cfg", kWorkedExample);
    ASSERT_TRUE(SetFileAttributesA("config.cfg", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    launcherSettings = kChosen;
    saveSettings();
    EXPECT_EQ(folder.read("config.cfg"), kWorkedExampleSaved);
    EXPECT_NE(GetFileAttributesA("config.cfg") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(SettingsFile, SaveThatCannotReplaceTheFileLeavesItAsItWas)
{
    const struct {
        const char* condition;
        bool held;
        DWORD heldSharing;
        DWORD attributes;
        bool readable;
    } cases[] = {
        // A running game may hold the file open for writing while it runs.
        {"held, sharing reading only", true, FILE_SHARE_READ, FILE_ATTRIBUTE_NORMAL, true},
        {"held, sharing reading and writing but not deletion", true, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_ATTRIBUTE_NORMAL, true},
        {"held, sharing nothing", true, 0, FILE_ATTRIBUTE_NORMAL, false},
        {"read-only", false, 0, FILE_ATTRIBUTE_READONLY, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        folder.write("config.cfg", kWorkedExample);
        ASSERT_TRUE(SetFileAttributesA("config.cfg", c.attributes));
        const HANDLE held = c.held ? CreateFileA("config.cfg", GENERIC_READ | GENERIC_WRITE, c.heldSharing, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                   : INVALID_HANDLE_VALUE;
        ASSERT_EQ(held != INVALID_HANDLE_VALUE, c.held);

        launcherSettings = kUntouched;
        loadSettings();
        EXPECT_EQ(fields(launcherSettings), fields(c.readable ? LauncherSettings{1024, 768, 32, 44} : kUntouched));
        launcherSettings = kChosen;
        saveSettings();
        EXPECT_EQ(fields(launcherSettings), fields(kChosen));

        if (c.held) {
            (void)CloseHandle(held);
        }
        (void)SetFileAttributesA("config.cfg", FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(folder.read("config.cfg"), kWorkedExample);
        EXPECT_EQ(entries(), onlyConfig());
    }
}

TEST_F(SettingsFile, AFolderNamedConfigIsNeitherReadNorReplaced)
{
    ASSERT_TRUE(CreateDirectoryA("config.cfg", nullptr));
    loadSettings();
    EXPECT_EQ(fields(launcherSettings), fields(kUntouched));
    launcherSettings = kChosen;
    saveSettings();
    EXPECT_NE(GetFileAttributesA("config.cfg") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(entries(), onlyConfig());
    (void)RemoveDirectoryA("config.cfg");
}

TEST_F(SettingsFile, AFileTooLargeToHoldInMemoryIsNeitherReadNorReplaced)
{
    if (sizeof(void*) > 4) {
        GTEST_SKIP() << "a 64-bit process holds a 3 GB file; only a 32-bit one cannot";
    }
    // Sparse, so that it costs no disk; a 32-bit process cannot hold 3 GB.
    folder.write("config.cfg", "bloom = 1\r\n");
    const HANDLE file = CreateFileA("config.cfg", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 3000000000LL;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    (void)CloseHandle(file);

    loadSettings();
    EXPECT_EQ(fields(launcherSettings), fields(kUntouched));
    launcherSettings = kChosen;
    saveSettings();

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA("config.cfg", GetFileExInfoStandard, &data));
    EXPECT_EQ((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, 3000000000ull);
    char head[12] = {};
    DWORD got = 0;
    const HANDLE again = CreateFileA("config.cfg", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(ReadFile(again, head, 11, &got, nullptr));
    (void)CloseHandle(again);
    EXPECT_STREQ(head, "bloom = 1\r\n");
    EXPECT_EQ(entries(), onlyConfig());
}

TEST_F(SettingsFile, WhereNoTemporaryFitsBesideTheFileSaveWritesInPlace)
{
    // A folder as deep as paths go: config.cfg itself still fits, a longer name beside it not.
    const std::string deep = folder.path() + "\\" + std::string(247 - folder.path().size(), 'd');
    ASSERT_EQ(deep.size(), 248u);
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    enter(deep);
    const HANDLE probe = CreateFileA((deep + "\\config.cfg.0000.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "this system takes longer paths, so the case cannot be made here";

    const struct {
        DWORD attributes;
        std::string after;
    } cases[] = {
        {FILE_ATTRIBUTE_NORMAL, kWorkedExampleSaved},
        {FILE_ATTRIBUTE_READONLY, kWorkedExample},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        (void)SetFileAttributesA("config.cfg", FILE_ATTRIBUTE_NORMAL);
        const HANDLE file = CreateFileA("config.cfg", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, kWorkedExample.data(), static_cast<DWORD>(kWorkedExample.size()), &written, nullptr));
        (void)CloseHandle(file);
        ASSERT_TRUE(SetFileAttributesA("config.cfg", c.attributes));

        launcherSettings = kChosen;
        saveSettings();
        (void)SetFileAttributesA("config.cfg", FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(folder.read(deep.substr(folder.path().size() + 1) + "\\config.cfg"), c.after);
        EXPECT_EQ(entries(), onlyConfig());
    }
    (void)DeleteFileA("config.cfg");
}
