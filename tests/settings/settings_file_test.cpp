// loadSettings and saveSettings on real files under Wine, each test in a folder of its own that
// is the current directory while the code under test runs, since it opens the bare name.
#include "settings/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
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
    RenameTemporary, // into config.cfg's place
    KeepCopy,        // the temporary file to config.cfg.kept or the next free name after it
    OpenInPlace,
    SeekInPlace,
    WriteInPlace,
    EndInPlace,
    FlushInPlace,
    CloseInPlace,
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

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The real file operations, counted, except where the test wants otherwise: each failure given
// happens in place of its step; another program may hold the new temporary file for a while
// after the save closes it, or let go of config.cfg once it has refused it to a few opens; and
// the process may stop after any call, so that every later call fails without touching a file,
// and what it left open is closed as the system would.
class FailingFileOperations {
public:
    explicit FailingFileOperations(std::vector<Failure> failures = {})
        : failures_(std::move(failures)), hits_(failures_.size())
    {
        current_ = this;
        fileOperations.createFile = createFile;
        fileOperations.writeFile = writeFile;
        fileOperations.flushFileBuffers = flushFileBuffers;
        fileOperations.setFilePointerEx = setFilePointerEx;
        fileOperations.setEndOfFile = setEndOfFile;
        fileOperations.closeHandle = closeHandle;
        fileOperations.moveFileEx = moveFileEx;
        fileOperations.deleteFile = deleteFile;
    }
    ~FailingFileOperations()
    {
        for (const HANDLE file : open_) {
            (void)real_.closeHandle(file);
        }
        fileOperations = real_;
        current_ = nullptr;
    }
    FailingFileOperations(const FailingFileOperations&) = delete;
    FailingFileOperations& operator=(const FailingFileOperations&) = delete;

    // The process stops after this many calls; with midway, in the middle of the last of them,
    // which must be a write, after half of its bytes.
    void stopAfter(std::size_t calls, bool midway)
    {
        stopAfter_ = calls;
        midway_ = midway;
    }
    void holdTemporary(DWORD ms) { holdMs_ = ms; }
    // The holder, a handle to config.cfg, is closed once that many opens of config.cfg have
    // been refused for it, and set to INVALID_HANDLE_VALUE.
    void letGoAfterRefusals(HANDLE& holder, int refusals)
    {
        holder_ = &holder;
        refusalsLeft_ = refusals;
    }

    // How many of the failures happened: a step that never ran that often cannot fail.
    std::size_t happened() const { return static_cast<std::size_t>(std::count(hits_.begin(), hits_.end(), true)); }
    // The step of each call made, and whether it was a write.
    const std::vector<std::pair<Step, bool>>& calls() const { return calls_; }
    bool ran(Step step) const
    {
        return std::any_of(calls_.begin(), calls_.end(), [step](const auto& call) { return call.first == step; });
    }

private:
    // Counts the call; true where the process has stopped before it.
    static bool stopped(Step step, bool write)
    {
        FailingFileOperations& self = *current_;
        self.calls_.emplace_back(step, write);
        if (self.calls_.size() <= self.stopAfter_) {
            return false;
        }
        SetLastError(ERROR_PROCESS_ABORTED);
        return true;
    }
    static bool stopsMidway() { return current_->midway_ && current_->calls_.size() == current_->stopAfter_; }

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

    // The real operation, unless the process has stopped or this run of the step is to fail.
    template <typename Real>
    static BOOL unlessFailing(Step step, Real real)
    {
        DWORD error = 0;
        if (stopped(step, false)) {
            return FALSE;
        }
        if (fails(step, error)) {
            SetLastError(error);
            return FALSE;
        }
        return real();
    }

    // The step of a call on the handle: the one given for the temporary file, or for config.cfg
    // opened to be written in place.
    static Step stepOn(const void* file, Step temporary, Step inPlace)
    {
        return file == current_->temporary_ ? temporary : file == current_->inPlace_ ? inPlace : Step::Other;
    }

    // True while another program holds the temporary file, which the name is.
    static bool held(LPCSTR name)
    {
        const FailingFileOperations& self = *current_;
        if (self.holdMs_ == 0 || name != self.temporaryPath_ || !self.closedAt_ ||
            GetTickCount() - *self.closedAt_ >= self.holdMs_) {
            return false;
        }
        SetLastError(ERROR_SHARING_VIOLATION);
        return true;
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
        if (!unlessFailing(step, [] { return TRUE; })) {
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = self.real_.createFile(name, access, sharing, security, disposition, flags, templateFile);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (self.holder_ != nullptr && endsWith(name, "config.cfg") && error == ERROR_SHARING_VIOLATION &&
                --self.refusalsLeft_ == 0) {
                (void)self.real_.closeHandle(*self.holder_);
                *self.holder_ = INVALID_HANDLE_VALUE;
                self.holder_ = nullptr;
            }
            SetLastError(error);
            return file;
        }
        self.open_.push_back(file);
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
        const Step step = stepOn(file, Step::WriteTemporary, Step::WriteInPlace);
        *written = 0;
        DWORD error = 0;
        if (stopped(step, true)) {
            return FALSE;
        }
        if (stopsMidway()) {
            (void)self.real_.writeFile(file, bytes, size / 2, written, overlapped);
            SetLastError(ERROR_PROCESS_ABORTED);
            return FALSE;
        }
        if (!fails(step, error)) {
            return self.real_.writeFile(file, bytes, size, written, overlapped);
        }
        if (error == kShortWrite) {
            (void)self.real_.writeFile(file, bytes, size / 2, written, overlapped);
            error = ERROR_DISK_FULL;
        }
        SetLastError(error);
        return FALSE;
    }

    static BOOL WINAPI flushFileBuffers(HANDLE file)
    {
        return unlessFailing(stepOn(file, Step::FlushTemporary, Step::FlushInPlace),
                             [&] { return current_->real_.flushFileBuffers(file); });
    }

    static BOOL WINAPI setFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method)
    {
        return unlessFailing(stepOn(file, Step::Other, Step::SeekInPlace),
                             [&] { return current_->real_.setFilePointerEx(file, distance, position, method); });
    }

    static BOOL WINAPI setEndOfFile(HANDLE file)
    {
        return unlessFailing(stepOn(file, Step::Other, Step::EndInPlace),
                             [&] { return current_->real_.setEndOfFile(file); });
    }

    // A close that fails still closes the handle, as when it reports a write the system had
    // held back.
    static BOOL WINAPI closeHandle(HANDLE file)
    {
        FailingFileOperations& self = *current_;
        const Step step = stepOn(file, Step::CloseTemporary, Step::CloseInPlace);
        if (stopped(step, false)) {
            return FALSE;
        }
        self.open_.erase(std::remove(self.open_.begin(), self.open_.end(), file), self.open_.end());
        // A handle value that is closed may come back for another file.
        if (file == self.temporary_) {
            self.temporary_ = INVALID_HANDLE_VALUE;
            self.closedAt_ = GetTickCount();
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

    static BOOL WINAPI moveFileEx(LPCSTR from, LPCSTR to, DWORD flags)
    {
        const FailingFileOperations& self = *current_;
        Step step = Step::Other;
        if (from == self.temporaryPath_) {
            step = std::strstr(to, ".kept") != nullptr ? Step::KeepCopy : Step::RenameTemporary;
        }
        return unlessFailing(step, [&] { return !held(from) && self.real_.moveFileEx(from, to, flags); });
    }

    static BOOL WINAPI deleteFile(LPCSTR name)
    {
        return unlessFailing(Step::Other, [&] { return !held(name) && current_->real_.deleteFile(name); });
    }

    static FailingFileOperations* current_;
    const FileOperations real_ = fileOperations;
    std::vector<Failure> failures_;
    std::vector<bool> hits_;
    int runs_[kSteps] = {};
    std::vector<std::pair<Step, bool>> calls_;
    std::size_t stopAfter_ = SIZE_MAX;
    bool midway_ = false;
    DWORD holdMs_ = 0;
    std::optional<DWORD> closedAt_;
    HANDLE* holder_ = nullptr;
    int refusalsLeft_ = 0;
    std::vector<HANDLE> open_;
    HANDLE temporary_ = INVALID_HANDLE_VALUE;
    HANDLE inPlace_ = INVALID_HANDLE_VALUE;
    std::string temporaryPath_;
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

    static bool exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }
    static void empty()
    {
        for (const std::string& name : entries()) {
            ASSERT_TRUE(DeleteFileA(name.c_str())) << name;
        }
    }

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

// Load and save each meet a holder of their own, which keeps config.cfg open throughout or lets
// go once it has refused it to a few opens, and each returns well within a second.
TEST_F(SettingsFile, AHeldOrReadOnlyFileIsWaitedForWrittenInPlaceOrLeftAsItWas)
{
    const struct {
        const char* condition;
        bool held;
        DWORD heldSharing;
        int letGoAfterRefusals; // 0 where it is held throughout
        DWORD attributes;
        bool readable;
        std::string after;
    } cases[] = {
        // A running game, an editor or a tool may hold the file open for writing while it runs.
        // Sharing is checked per handle, so a handle of this process stands for another program's.
        {"held, sharing reading only", true, FILE_SHARE_READ, 0, FILE_ATTRIBUTE_NORMAL, true, kWorkedExample},
        // As the C runtime's fopen holds a file: written in place.
        {"held, sharing reading and writing but not deletion", true, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
         FILE_ATTRIBUTE_NORMAL, true, kWorkedExampleSaved},
        {"held, sharing nothing", true, 0, 0, FILE_ATTRIBUTE_NORMAL, false, kWorkedExample},
        // As the game still closing the file, or a backup tool copying it: after the pauses of
        // 10 and 20 ms, during the third.
        {"held, sharing nothing, let go after three refusals", true, 0, 3, FILE_ATTRIBUTE_NORMAL, true,
         kWorkedExampleSaved},
        {"read-only", false, 0, 0, FILE_ATTRIBUTE_READONLY, true, kWorkedExample},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        folder.write("config.cfg", kWorkedExample);
        ASSERT_TRUE(SetFileAttributesA("config.cfg", c.attributes));
        const auto whileHeld = [&](auto operation) {
            HANDLE held = c.held ? CreateFileA("config.cfg", GENERIC_READ | GENERIC_WRITE, c.heldSharing, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE;
            ASSERT_EQ(held != INVALID_HANDLE_VALUE, c.held);
            const DWORD start = GetTickCount();
            {
                FailingFileOperations letting;
                if (c.letGoAfterRefusals > 0) {
                    letting.letGoAfterRefusals(held, c.letGoAfterRefusals);
                }
                operation();
            }
            EXPECT_LT(GetTickCount() - start, 1000u);
            EXPECT_EQ(held != INVALID_HANDLE_VALUE, c.held && c.letGoAfterRefusals == 0) << "still held";
            if (held != INVALID_HANDLE_VALUE) {
                (void)CloseHandle(held);
            }
        };

        launcherSettings = kUntouched;
        whileHeld(loadSettings);
        EXPECT_EQ(fields(launcherSettings), fields(c.readable ? LauncherSettings{1024, 768, 32, 44} : kUntouched));
        launcherSettings = kChosen;
        whileHeld(saveSettings);
        EXPECT_EQ(fields(launcherSettings), fields(kChosen));

        (void)SetFileAttributesA("config.cfg", FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(folder.read("config.cfg"), c.after);
        EXPECT_EQ(entries(), onlyConfig());
    }
}

// A failure injected in place of each step of a save in turn, and of some steps after a first
// failure, through the file operations that saveSettings calls. After each, config.cfg holds all
// of its old bytes or all of the new ones, and nothing the save made is left beside it, within
// well under a second. Only where a second failure keeps an overwrite in place from being either
// completed or undone is config.cfg damaged, and only where its flush or close fails is it not
// known to be on disk; the complete new bytes then stay as config.cfg.kept, or as
// config.cfg.kept2 where an earlier config.cfg.kept is there, and no later save removes them.
TEST_F(SettingsFile, AFailingStepLeavesTheOldFileOrTheNewOneOrACompleteCopy)
{
    enum class After { Old, New, Missing, Damaged };
    enum class Copy { None, Kept, Kept2, Temporary }; // where the complete new bytes stay besides
    const Failure kRefused{Step::RenameTemporary, 0, ERROR_ACCESS_DENIED};
    const struct {
        const char* failure;
        bool existing;   // config.cfg holds the worked example beforehand; otherwise there is none
        bool keptBefore; // an earlier incident's config.cfg.kept is there, and must stay as it is
        std::vector<Failure> failures;
        DWORD temporaryHeldMs; // another program holds the new temporary file this long after its close
        After after;
        Copy copy;
        // Another program holds config.cfg open sharing reading and writing, as the game may, so
        // that the rename is refused and config.cfg is written where it stands.
        bool held = false;
        bool savedAgain = false; // then, still held, a save of other values without a failure
    } cases[] = {
        // Where no temporary file can be made, config.cfg is written in place.
        {"creating the temporary file",
         true,
         false,
         {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}},
         0,
         After::New,
         Copy::None},
        {"creating the temporary file, no config.cfg",
         false,
         false,
         {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}},
         0,
         After::New,
         Copy::None},
        {"writing the temporary file",
         true,
         false,
         {{Step::WriteTemporary, 1, kShortWrite}},
         0,
         After::Old,
         Copy::None},
        {"flushing the temporary file",
         true,
         false,
         {{Step::FlushTemporary, 1, ERROR_WRITE_FAULT}},
         0,
         After::Old,
         Copy::None},
        {"closing the temporary file",
         true,
         false,
         {{Step::CloseTemporary, 1, ERROR_WRITE_FAULT}},
         0,
         After::Old,
         Copy::None},
        {"the rename: a sharing violation once",
         true,
         false,
         {{Step::RenameTemporary, 1, ERROR_SHARING_VIOLATION}},
         0,
         After::New,
         Copy::None},
        // Refused: written in place instead.
        {"the rename: refused every time", true, false, {kRefused}, 0, After::New, Copy::None},
        {"the rename: another error",
         true,
         false,
         {{Step::RenameTemporary, 1, ERROR_INVALID_PARAMETER}},
         0,
         After::New,
         Copy::None},
        {"the rename of a first config.cfg",
         false,
         false,
         {{Step::RenameTemporary, 1, ERROR_WRITE_PROTECT}},
         0,
         After::Missing,
         Copy::None},
        {"the rename refused, then opening in place",
         true,
         false,
         {kRefused, {Step::OpenInPlace, 0, ERROR_SHARING_VIOLATION}},
         0,
         After::Old,
         Copy::None},
        {"the rename refused, then going to the start in place",
         true,
         false,
         {kRefused, {Step::SeekInPlace, 1, ERROR_SEEK}},
         0,
         After::Old,
         Copy::None},
        {"the rename refused, then a short write in place",
         true,
         false,
         {kRefused, {Step::WriteInPlace, 1, kShortWrite}},
         0,
         After::Old,
         Copy::None},
        {"the rename refused, then setting the end in place",
         true,
         false,
         {kRefused, {Step::EndInPlace, 1, ERROR_WRITE_FAULT}},
         0,
         After::Old,
         Copy::None},
        // The bytes may never reach the disk, as on a network share lost or a drive pulled out
        // too soon: the copy stays.
        {"held open, then flushing in place",
         true,
         false,
         {{Step::FlushInPlace, 1, ERROR_WRITE_FAULT}},
         0,
         After::New,
         Copy::Kept,
         true},
        {"held open, then closing in place",
         true,
         false,
         {{Step::CloseInPlace, 1, ERROR_NETNAME_DELETED}},
         0,
         After::New,
         Copy::Kept,
         true},
        {"creating the temporary file, then a short write in place",
         true,
         false,
         {{Step::CreateTemporary, 1, ERROR_ACCESS_DENIED}, {Step::WriteInPlace, 1, kShortWrite}},
         0,
         After::Old,
         Copy::None},
        {"the rename refused, then a short write in place and writing the old bytes back",
         true,
         false,
         {kRefused, {Step::WriteInPlace, 0, kShortWrite}},
         0,
         After::Damaged,
         Copy::Kept},
        // An earlier config.cfg.kept is never overwritten.
        {"the rename refused, a config.cfg.kept there", true, true, {kRefused}, 0, After::New, Copy::None},
        {"the rename refused, a config.cfg.kept there, then a short write in place and writing the old bytes back",
         true,
         true,
         {kRefused, {Step::WriteInPlace, 0, kShortWrite}},
         0,
         After::Damaged,
         Copy::Kept2},
        {"held open, a config.cfg.kept there, then flushing in place; then a save without a failure",
         true,
         true,
         {{Step::FlushInPlace, 1, ERROR_WRITE_FAULT}},
         0,
         After::New,
         Copy::Kept2,
         true,
         true},
        {"the rename refused and keeping a copy refused, then a short write in place and writing the old bytes back",
         true,
         false,
         {kRefused, {Step::KeepCopy, 0, ERROR_ACCESS_DENIED}, {Step::WriteInPlace, 0, kShortWrite}},
         0,
         After::Damaged,
         Copy::Temporary},
        // A virus scanner looking at the new file past one step's tries leaves the next step its own.
        {"another program holding the temporary file", true, false, {}, 250, After::New, Copy::None},
    };
    const std::string kEarlierCopy = "an earlier incident's copy\r\n";
    constexpr LauncherSettings kChosenLater{1600, 1200, 32, 1};
    const std::string kSavedLater = "screenWidth = 1600\r\nscreenHeight = 1200\r\nscreenBPP = 32\r\n\r\n"
                                    "a line of the game's own, without line end\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        empty();
        if (c.existing) {
            writeWholeFile("config.cfg", kWorkedExample);
        }
        if (c.keptBefore) {
            writeWholeFile("config.cfg.kept", kEarlierCopy);
        }
        const HANDLE held = c.held ? CreateFileA("config.cfg", GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                                   : INVALID_HANDLE_VALUE;
        ASSERT_EQ(held != INVALID_HANDLE_VALUE, c.held);
        launcherSettings = kChosen;
        const DWORD start = GetTickCount();
        {
            FailingFileOperations failing(c.failures);
            failing.holdTemporary(c.temporaryHeldMs);
            saveSettings();
            EXPECT_EQ(failing.happened(), c.failures.size()) << "a failure whose step never ran";
        }
        if (c.savedAgain) {
            launcherSettings = kChosenLater;
            saveSettings();
        }
        EXPECT_LT(GetTickCount() - start, 1000u);
        if (c.held) {
            (void)CloseHandle(held);
        }

        std::vector<std::string> others = entries();
        const auto expect = [&](bool there, const char* name) {
            const auto found = std::find(others.begin(), others.end(), name);
            EXPECT_EQ(found != others.end(), there) << name;
            if (found != others.end()) {
                others.erase(found);
            }
        };
        expect(c.after != After::Missing, "config.cfg");
        expect(c.keptBefore || c.copy == Copy::Kept, "config.cfg.kept");
        if (c.keptBefore || c.copy == Copy::Kept) {
            EXPECT_EQ(readWholeFile("config.cfg.kept"), c.keptBefore ? kEarlierCopy : kWorkedExampleSaved);
        }
        expect(c.copy == Copy::Kept2, "config.cfg.kept2");
        if (c.copy == Copy::Kept2) {
            EXPECT_EQ(readWholeFile("config.cfg.kept2"), kWorkedExampleSaved);
        }
        // What is left can only be the copy under its temporary name.
        ASSERT_EQ(others.size(), c.copy == Copy::Temporary ? 1u : 0u);
        if (c.copy == Copy::Temporary) {
            EXPECT_EQ(readWholeFile(others[0]), kWorkedExampleSaved);
        }
        if (c.after == After::Old) {
            EXPECT_EQ(readWholeFile("config.cfg"), kWorkedExample);
        } else if (c.after == After::New) {
            EXPECT_EQ(readWholeFile("config.cfg"), c.savedAgain ? kSavedLater : c.existing ? kWorkedExampleSaved : "");
        }
    }
}

// The process stopped after each call of a save in turn, and in the middle of each write, as a
// crash or a power cut would stop it: config.cfg holds all of its old bytes or all of the new
// ones, except inside an overwrite in place, where config.cfg.kept holds all of the new ones.
// Then the next save succeeds, leaves nothing of the stopped one but such a config.cfg.kept, and
// where config.cfg was whole, loses none of its lines.
TEST_F(SettingsFile, ASaveStoppedAtAnyCallLeavesTheFileWholeAndTheNextSaveTidiesUp)
{
    // Outside the prefix's ANSI code page, which the folder's name must not need.
    const std::wstring kForeignFolder = L"\u30b2\u30fc\u30e0";
    // Temporary files of an earlier save, one still held by another program, and names that
    // only look like them, which no save may touch.
    const std::vector<std::string> kLookAlikes = {"config.cfg.0bag.tmp",  "config.cfg.0bad.tmp.txt",
                                                  "config.cfg.00bad.tmp", "config.cfg.bak.tmp",
                                                  "config.cfg.bad.tmp",   "xconfig.cfg.0bad.tmp"};
    const char kLeftover[] = "config.cfg.0bad.tmp";
    const char kHeldLeftover[] = "config.cfg.beef.tmp";

    enum class Path { Present, Missing, HeldSharingWriting, Leftovers, ForeignFolder };
    const struct {
        const char* path;
        Path setUp;
        bool inPlace; // the save overwrites config.cfg where it stands, and cannot be one step
    } cases[] = {
        {"config.cfg present", Path::Present, false},
        {"config.cfg missing", Path::Missing, false},
        {"config.cfg held open sharing reading and writing", Path::HeldSharingWriting, true},
        {"temporary files of an earlier save beside config.cfg", Path::Leftovers, false},
        {"config.cfg in a folder named outside the ANSI code page", Path::ForeignFolder, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.setUp == Path::ForeignFolder) {
            BOOL lossy = FALSE;
            (void)WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, kForeignFolder.c_str(), -1, nullptr, 0, nullptr,
                                      &lossy);
            ASSERT_TRUE(lossy) << "this prefix's ANSI code page holds the folder's name";
            ASSERT_TRUE(CreateDirectoryW(kForeignFolder.c_str(), nullptr));
            ASSERT_TRUE(SetCurrentDirectoryW(kForeignFolder.c_str()));
        }
        const std::string old = c.setUp == Path::Missing ? "" : kWorkedExample;
        const std::string saved = c.setUp == Path::Missing ? "" : kWorkedExampleSaved;
        HANDLE held = INVALID_HANDLE_VALUE;
        HANDLE heldLeftover = INVALID_HANDLE_VALUE;
        const auto setUp = [&] {
            empty();
            if (c.setUp != Path::Missing) {
                writeWholeFile("config.cfg", kWorkedExample);
            }
            if (c.setUp == Path::HeldSharingWriting) {
                held = CreateFileA("config.cfg", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
            }
            if (c.setUp == Path::Leftovers) {
                writeWholeFile(kLeftover, "screenWidth = 1");
                writeWholeFile(kHeldLeftover, "a save under way");
                for (const std::string& name : kLookAlikes) {
                    writeWholeFile(name, name);
                }
                heldLeftover = CreateFileA(kHeldLeftover, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(heldLeftover, INVALID_HANDLE_VALUE);
            }
        };
        const auto tearDown = [&] {
            for (HANDLE* file : {&held, &heldLeftover}) {
                if (*file != INVALID_HANDLE_VALUE) {
                    (void)CloseHandle(*file);
                    *file = INVALID_HANDLE_VALUE;
                }
            }
        };
        // What no save removes, besides config.cfg.
        std::vector<std::string> untouched;
        if (c.setUp == Path::Leftovers) {
            untouched = kLookAlikes;
            untouched.push_back(kHeldLeftover);
        }

        setUp();
        std::vector<std::pair<Step, bool>> calls;
        {
            const FailingFileOperations counting;
            launcherSettings = kChosen;
            saveSettings();
            calls = counting.calls();
            EXPECT_EQ(counting.ran(Step::OpenInPlace), c.inPlace);
        }
        tearDown();

        for (std::size_t stop = 0; stop <= calls.size(); ++stop) {
            for (const bool midway : {false, true}) {
                if (midway && (stop == 0 || !calls[stop - 1].second)) {
                    continue;
                }
                SCOPED_TRACE(testing::Message() << "stopped " << (midway ? "in the middle of" : "after") << " call "
                                                << stop << " of " << calls.size());
                setUp();
                {
                    FailingFileOperations stopping;
                    stopping.stopAfter(stop, midway);
                    launcherSettings = kChosen;
                    saveSettings();
                }
                const bool whole = c.setUp == Path::Missing
                                       ? !exists("config.cfg") || readWholeFile("config.cfg").empty()
                                       : readWholeFile("config.cfg") == old || readWholeFile("config.cfg") == saved;
                const bool kept = exists("config.cfg.kept");
                if (!whole) {
                    EXPECT_TRUE(c.inPlace) << "config.cfg damaged outside an overwrite in place";
                    EXPECT_TRUE(kept && readWholeFile("config.cfg.kept") == saved)
                        << "no complete copy of the new bytes";
                }
                EXPECT_TRUE(!kept || c.inPlace);

                launcherSettings = kChosen;
                saveSettings();
                std::vector<std::string> expected = untouched;
                expected.push_back("config.cfg");
                if (kept) {
                    expected.push_back("config.cfg.kept");
                }
                std::sort(expected.begin(), expected.end());
                EXPECT_EQ(entries(), expected);
                if (whole) {
                    EXPECT_EQ(readWholeFile("config.cfg"), saved);
                }
                tearDown();
            }
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
    const HANDLE file = CreateFileA("config.cfg", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
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
    const HANDLE probe = CreateFileA((deep + "\\config.cfg.0000.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                     nullptr);
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
        const HANDLE file = CreateFileA("config.cfg", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(
            WriteFile(file, kWorkedExample.data(), static_cast<DWORD>(kWorkedExample.size()), &written, nullptr));
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
