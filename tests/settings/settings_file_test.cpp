// loadSettings and saveSettings on real files under Wine, each test in a folder of its own that
// is the current directory while the code under test runs, since it opens the bare name.
#include "settings/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "settings/file_operations.h"
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

// The steps of a save that an injected failure can take the place of, each told by the
// operation and its arguments.
enum class Step {
    CreateTemporary,
    WriteTemporary,
    FlushTemporary,
    CloseTemporary,
    Replace,
    MoveTemporary,
    MoveBackup,
    DeleteBackup,
    OpenInPlace,
    WriteInPlace,
    EndInPlace,
    Other,
};
constexpr int kSteps = static_cast<int>(Step::Other) + 1;

// As an error: a write that writes the first half of its bytes, then fails as on a full disk.
constexpr DWORD kShortWrite = 0xFFFFFFFF;

struct Failure {
    Step step;
    int time; // the step's how-manieth run fails, from 1; 0 for every run
    DWORD error;
};

// The real file operations, except that each failure given happens in place of its step. A
// failing replace leaves the files as the ReplaceFile documentation says for its error: for
// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 the original under the backup name, for every other error
// both files under their own names.
class FailingFileOperations {
public:
    explicit FailingFileOperations(std::vector<Failure> failures) : failures_(std::move(failures)), hits_(failures_.size())
    {
        current_ = this;
        fileOperations.createFile = createFile;
        fileOperations.writeFile = writeFile;
        fileOperations.flushFileBuffers = flushFileBuffers;
        fileOperations.setEndOfFile = setEndOfFile;
        fileOperations.closeHandle = closeHandle;
        fileOperations.replaceFile = replaceFile;
        fileOperations.moveFileEx = moveFileEx;
        fileOperations.deleteFile = deleteFile;
    }
    ~FailingFileOperations()
    {
        fileOperations = real_;
        current_ = nullptr;
    }
    FailingFileOperations(const FailingFileOperations&) = delete;
    FailingFileOperations& operator=(const FailingFileOperations&) = delete;

    // How many of the failures happened: a step that never ran that often cannot fail.
    std::size_t happened() const { return static_cast<std::size_t>(std::count(hits_.begin(), hits_.end(), true)); }

private:
    // True where this run of the step is to fail, with that error.
    static bool fails(Step step, DWORD& error)
    {
        FailingFileOperations& self = *current_;
        const int time = ++self.runs_[static_cast<int>(step)];
        for (std::size_t i = 0; i < self.failures_.size(); ++i) {
            const Failure& f = self.failures_[i];
            if (f.step == step && (f.time == 0 || f.time == time)) {
                self.hits_[i] = true;
                error = f.error;
                return true;
            }
        }
        return false;
    }

    // The real operation, unless this run of the step is to fail.
    template <typename Real>
    static BOOL unlessFailing(Step step, Real real)
    {
        DWORD error = 0;
        if (fails(step, error)) {
            SetLastError(error);
            return FALSE;
        }
        return real();
    }

    static bool endsWith(const std::string& text, const std::string& end)
    {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    static HANDLE WINAPI createFile(LPCSTR name, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE templateFile)
    {
        FailingFileOperations& self = *current_;
        Step step = Step::Other;
        if (!endsWith(name, "config.cfg")) {
            step = disposition == CREATE_NEW ? Step::CreateTemporary : Step::Other;
        } else if ((access & GENERIC_WRITE) != 0) {
            step = Step::OpenInPlace;
        }
        DWORD error = 0;
        if (fails(step, error)) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = self.real_.createFile(name, access, sharing, security, disposition, flags, templateFile);
        if (step == Step::CreateTemporary) {
            self.temporary_ = file;
            self.temporaryPath_ = name;
        } else if (step == Step::OpenInPlace) {
            self.inPlace_ = file;
        }
        return file;
    }

    static BOOL WINAPI writeFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
    {
        FailingFileOperations& self = *current_;
        const Step step = file == self.temporary_ ? Step::WriteTemporary : file == self.inPlace_ ? Step::WriteInPlace : Step::Other;
        DWORD error = 0;
        if (!fails(step, error)) {
            return self.real_.writeFile(file, bytes, size, written, overlapped);
        }
        *written = 0;
        if (error == kShortWrite) {
            (void)self.real_.writeFile(file, bytes, size / 2, written, overlapped);
            error = ERROR_DISK_FULL;
        }
        SetLastError(error);
        return FALSE;
    }

    static BOOL WINAPI flushFileBuffers(HANDLE file)
    {
        return unlessFailing(file == current_->temporary_ ? Step::FlushTemporary : Step::Other,
                             [&] { return current_->real_.flushFileBuffers(file); });
    }

    static BOOL WINAPI setEndOfFile(HANDLE file)
    {
        return unlessFailing(file == current_->inPlace_ ? Step::EndInPlace : Step::Other,
                             [&] { return current_->real_.setEndOfFile(file); });
    }

    // A close that fails still closes the handle, as when it reports a write the system had
    // held back.
    static BOOL WINAPI closeHandle(HANDLE file)
    {
        FailingFileOperations& self = *current_;
        const Step step = file == self.temporary_ ? Step::CloseTemporary : Step::Other;
        // A handle value that is closed may come back for another file.
        if (file == self.temporary_) {
            self.temporary_ = INVALID_HANDLE_VALUE;
        }
        if (file == self.inPlace_) {
            self.inPlace_ = INVALID_HANDLE_VALUE;
        }
        const BOOL closed = self.real_.closeHandle(file);
        DWORD error = 0;
        if (fails(step, error)) {
            SetLastError(error);
            return FALSE;
        }
        return closed;
    }

    static BOOL WINAPI replaceFile(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID exclude,
                                   LPVOID reserved)
    {
        FailingFileOperations& self = *current_;
        if (backup != nullptr) {
            self.backupPath_ = backup;
        }
        DWORD error = 0;
        if (!fails(Step::Replace, error)) {
            return self.real_.replaceFile(replaced, replacement, backup, flags, exclude, reserved);
        }
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            EXPECT_NE(backup, nullptr);
            EXPECT_TRUE(self.real_.moveFileEx(replaced, backup, MOVEFILE_REPLACE_EXISTING));
        }
        SetLastError(error);
        return FALSE;
    }

    static BOOL WINAPI moveFileEx(LPCSTR from, LPCSTR to, DWORD flags)
    {
        const FailingFileOperations& self = *current_;
        const Step step = from == self.temporaryPath_ ? Step::MoveTemporary : from == self.backupPath_ ? Step::MoveBackup : Step::Other;
        return unlessFailing(step, [&] { return self.real_.moveFileEx(from, to, flags); });
    }

    static BOOL WINAPI deleteFile(LPCSTR name)
    {
        return unlessFailing(name == current_->backupPath_ ? Step::DeleteBackup : Step::Other,
                             [&] { return current_->real_.deleteFile(name); });
    }

    static FailingFileOperations* current_;
    const FileOperations real_ = fileOperations;
    std::vector<Failure> failures_;
    std::vector<bool> hits_;
    int runs_[kSteps] = {};
    HANDLE temporary_ = INVALID_HANDLE_VALUE;
    HANDLE inPlace_ = INVALID_HANDLE_VALUE;
    std::string temporaryPath_;
    std::string backupPath_;
};

FailingFileOperations* FailingFileOperations::current_ = nullptr;

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

TEST_F(SettingsFile, SaveThatCannotReplaceTheFileWritesItInPlaceOrLeavesItAsItWas)
{
    const struct {
        const char* condition;
        bool held;
        DWORD heldSharing;
        DWORD attributes;
        bool readable;
        std::string after;
    } cases[] = {
        // A running game, an editor or a tool may hold the file open for writing while it runs.
        // Sharing is checked per handle, so a handle of this process stands for another program's.
        {"held, sharing reading only", true, FILE_SHARE_READ, FILE_ATTRIBUTE_NORMAL, true, kWorkedExample},
        // As the C runtime's fopen holds a file: written in place.
        {"held, sharing reading and writing but not deletion", true, FILE_SHARE_READ | FILE_SHARE_WRITE,
         FILE_ATTRIBUTE_NORMAL, true, kWorkedExampleSaved},
        {"held, sharing nothing", true, 0, FILE_ATTRIBUTE_NORMAL, false, kWorkedExample},
        {"read-only", false, 0, FILE_ATTRIBUTE_READONLY, true, kWorkedExample},
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
        EXPECT_EQ(folder.read("config.cfg"), c.after);
        EXPECT_EQ(entries(), onlyConfig());
    }
}

// A failure injected in place of each step of a save in turn, and of some steps after a first
// failure, through the file operations that saveSettings calls. After each, config.cfg holds all
// of its old bytes or all of the new ones, and nothing else is left beside it, within well under
// a second. Only where a second failure keeps the save from being finished or undone does the
// documented copy, config.cfg.kept, hold the new bytes.
TEST_F(SettingsFile, ASaveThatFailsAtAnyStepLeavesTheFileWhole)
{
    enum class After { Old, New, Missing, Damaged };
    const struct {
        const char* failure;
        bool existing; // config.cfg holds the worked example beforehand; otherwise there is none
        std::vector<Failure> failures;
        After after;
        bool kept; // config.cfg.kept holds the new bytes afterwards
    } cases[] = {
        // Where no temporary file can be made, config.cfg is written in place; where it cannot be
        // completed, config.cfg stays as it was.
        {"creating the temporary file", true, {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}}, After::New, false},
        {"creating the temporary file, no config.cfg", false, {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}}, After::New, false},
        {"writing the temporary file", true, {{Step::WriteTemporary, 1, kShortWrite}}, After::Old, false},
        {"flushing the temporary file", true, {{Step::FlushTemporary, 1, ERROR_WRITE_FAULT}}, After::Old, false},
        {"closing the temporary file", true, {{Step::CloseTemporary, 1, ERROR_WRITE_FAULT}}, After::Old, false},
        // Refused, both files under their own names: written in place instead.
        {"the replace: 1175", true, {{Step::Replace, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}}, After::New, false},
        {"the replace: 1176", true, {{Step::Replace, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT}}, After::New, false},
        {"the replace: another error", true, {{Step::Replace, 1, ERROR_INVALID_PARAMETER}}, After::New, false},
        {"the replace: access denied every time", true, {{Step::Replace, 0, ERROR_ACCESS_DENIED}}, After::New, false},
        // Tried again.
        {"the replace: a sharing violation once", true, {{Step::Replace, 1, ERROR_SHARING_VIOLATION}}, After::New, false},
        {"deleting the backup: access denied once", true, {{Step::DeleteBackup, 1, ERROR_ACCESS_DENIED}}, After::New, false},
        // The original under the backup name: the new file moved into place, or else the original.
        {"the replace: 1177", true, {{Step::Replace, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}}, After::New, false},
        {"the replace: 1177, then the move of the new file", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}, {Step::MoveTemporary, 0, ERROR_SHARING_VIOLATION}}, After::Old,
         false},
        {"the replace: 1177, then the move of either file", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}, {Step::MoveTemporary, 1, ERROR_WRITE_PROTECT},
          {Step::MoveBackup, 1, ERROR_WRITE_PROTECT}},
         After::Missing, true},
        {"the move of a first config.cfg", false, {{Step::MoveTemporary, 1, ERROR_WRITE_PROTECT}}, After::Missing, false},
        // In place, after a refused replace or where no temporary file can be made.
        {"the replace: 1175, then opening in place", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}, {Step::OpenInPlace, 1, ERROR_SHARING_VIOLATION}}, After::Old, false},
        {"the replace: 1175, then a short write in place", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}, {Step::WriteInPlace, 1, kShortWrite}}, After::Old, false},
        {"the replace: 1175, then setting the end in place", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}, {Step::EndInPlace, 1, ERROR_WRITE_FAULT}}, After::Old, false},
        {"creating the temporary file, then a short write in place", true,
         {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}, {Step::WriteInPlace, 1, kShortWrite}}, After::Old, false},
        {"the replace: 1175, then a short write in place and writing the old bytes back", true,
         {{Step::Replace, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}, {Step::WriteInPlace, 0, kShortWrite}}, After::Damaged, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        for (const std::string& name : entries()) {
            ASSERT_TRUE(DeleteFileA(name.c_str())) << name;
        }
        if (c.existing) {
            folder.write("config.cfg", kWorkedExample);
        }
        launcherSettings = kChosen;
        const DWORD start = GetTickCount();
        {
            const FailingFileOperations failing(c.failures);
            saveSettings();
            EXPECT_EQ(failing.happened(), c.failures.size()) << "a failure whose step never ran";
        }
        EXPECT_LT(GetTickCount() - start, 1000u);

        std::vector<std::string> expected;
        if (c.after != After::Missing) {
            expected.push_back("config.cfg");
        }
        if (c.kept) {
            expected.push_back("config.cfg.kept");
            EXPECT_EQ(folder.read("config.cfg.kept"), kWorkedExampleSaved);
        }
        EXPECT_EQ(entries(), expected);
        if (c.after == After::Old) {
            EXPECT_EQ(folder.read("config.cfg"), kWorkedExample);
        } else if (c.after == After::New) {
            EXPECT_EQ(folder.read("config.cfg"), c.existing ? kWorkedExampleSaved : "");
        }
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
