#include "settings/settings_file.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "settings/file_operations.h"
#include "settings/launcher_settings.h"
#include "settings/settings_format.h"

namespace {

constexpr char kConfigName[] = "config.cfg";
constexpr std::size_t kConfigNameLength = sizeof kConfigName - 1;
// Beside config.cfg, under names no longer than a temporary file's, so that they fit wherever it
// does: the launcher's backup while the replace runs, which each save overwrites and deletes,
// and the complete copy kept where a save can neither finish nor be undone
// (packaging/README.txt names it).
constexpr char kBackupSuffix[] = ".bak.tmp";
constexpr char kKeptSuffix[] = ".kept";

// Where another program holds a file for a moment, as virus scanners and indexers do with a file
// just written, an operation is tried again after pauses of 10, 20, 40, 80 and 160 ms, as long
// as the save has waited no more than 310 ms in all.
constexpr DWORD kFirstPause = 10;
constexpr DWORD kPatience = 310;

enum class Contents { Read, Missing, Unreadable };

struct ConfigFile {
    Contents contents = Contents::Missing;
    std::string bytes;
    DWORD attributes = 0;
};

// At most this much per ReadFile or WriteFile call, whose counts are 32-bit.
DWORD chunk(std::size_t rest)
{
    return rest > 0x10000000 ? 0x10000000 : static_cast<DWORD>(rest);
}

// Reads the file from its current position to its end, expecting about that many bytes.
bool readToEnd(HANDLE file, std::size_t expected, std::string& bytes)
{
    // One byte more than expected, so that the read which finds the end needs no larger buffer.
    bytes.resize(expected + 1);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            bytes.resize(length + 4096); // the file grew while being read
        }
        DWORD got = 0;
        if (!ReadFile(file, &bytes[length], chunk(bytes.size() - length), &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            bytes.resize(length);
            return true;
        }
        length += got;
    }
}

// Reads config.cfg whole and as bytes: the C runtime's text mode would stop at a 1A byte and
// cut long lines into pieces.
ConfigFile readConfig()
{
    ConfigFile config;
    const HANDLE file = CreateFileA(kConfigName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        config.contents = GetLastError() == ERROR_FILE_NOT_FOUND ? Contents::Missing : Contents::Unreadable;
        return config;
    }
    config.contents = Contents::Unreadable;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file, &information)) {
        const unsigned long long size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
        config.attributes = information.dwFileAttributes;
        try {
            if (size < config.bytes.max_size() && readToEnd(file, static_cast<std::size_t>(size), config.bytes)) {
                config.contents = Contents::Read;
            }
        } catch (...) {
            // Only allocation throws here: a file larger than this process can hold is as
            // unreadable as a locked one.
        }
    }
    (void)CloseHandle(file); // opened for reading only: nothing is lost if closing fails
    if (config.contents != Contents::Read) {
        config.bytes = std::string();
    }
    return config;
}

// One save: the paths of config.cfg and of the files beside it that it makes, and how long it
// may still wait for files that another program holds.
struct Save {
    std::string config;
    std::string temporary;
    std::string backup;
    std::string kept;
    DWORD patience = kPatience;
};

// Tries the operation again while it fails for the moment, with access denied or a sharing
// violation, and the save's patience lasts.
template <typename Operation>
bool retried(Save& save, Operation operation)
{
    DWORD pause = kFirstPause;
    for (;;) {
        if (operation()) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || pause > save.patience) {
            return false;
        }
        Sleep(pause);
        save.patience -= pause;
        pause *= 2;
    }
}

bool moveFile(Save& save, const std::string& from, const std::string& to, DWORD flags)
{
    return retried(save, [&] {
        return fileOperations.moveFileEx(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
}

// A file that cannot be deleted even when tried again stays: nothing is lost by it.
void removeFile(Save& save, const std::string& path)
{
    (void)retried(save, [&] { return fileOperations.deleteFile(path.c_str()) != FALSE; });
}

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD done = 0;
        if (!fileOperations.writeFile(file, bytes.data() + written, chunk(bytes.size() - written), &done, nullptr) ||
            done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

// config.cfg's full path: the replacing calls need one, as a folder-relative name fails on
// some systems.
std::string fullConfigPath()
{
    const DWORD size = GetFullPathNameA(kConfigName, 0, nullptr, nullptr);
    if (size == 0) {
        return std::string();
    }
    std::string path(size, '\0');
    const DWORD length = GetFullPathNameA(kConfigName, size, &path[0], nullptr);
    if (length == 0 || length >= size || length <= kConfigNameLength ||
        path.compare(length - kConfigNameLength, kConfigNameLength, kConfigName) != 0) {
        return std::string();
    }
    path.resize(length);
    return path;
}

// A new file of its own beside config.cfg, open for writing; its path goes to save.temporary.
HANDLE createTemporary(Save& save)
{
    const std::string folder = save.config.substr(0, save.config.size() - kConfigNameLength);
    const DWORD seed = GetTickCount() ^ GetCurrentProcessId();
    for (DWORD attempt = 0; attempt <= 0xFFFF; ++attempt) {
        char leaf[32];
        (void)std::snprintf(leaf, sizeof leaf, "%s.%04lx.tmp", kConfigName, (seed + attempt) & 0xFFFF);
        save.temporary = folder + leaf;
        const HANDLE file = fileOperations.createFile(save.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// Makes the file hold exactly these bytes: one write of them all from offset 0, then the end of
// the file right behind them.
bool overwrite(HANDLE file, const std::string& bytes)
{
    const DWORD length = static_cast<DWORD>(bytes.size());
    const LARGE_INTEGER start{};
    DWORD written = 0;
    return length == bytes.size() && fileOperations.setFilePointerEx(file, start, nullptr, FILE_BEGIN) &&
           fileOperations.writeFile(file, bytes.data(), length, &written, nullptr) && written == length &&
           fileOperations.setEndOfFile(file);
}

enum class InPlace { Written, AsItWas, Damaged };

// The last resort, where no file beside config.cfg can be made or take its place: overwrite it
// where it stands. Opened sharing writing as well as reading, so that another program holding
// the file open that way does not stop it. A write, or setting the end, that fails part way is
// undone by writing the old bytes back at their old length; only where that fails too is the
// file left damaged. An existing config.cfg is opened as it is (disposition OPEN_EXISTING); a
// missing one is created (CREATE_NEW), as one that appeared meanwhile is not ours to overwrite.
InPlace writeInPlace(const std::string& bytes, const std::string& old, DWORD disposition)
{
    const HANDLE file = fileOperations.createFile(kConfigName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return InPlace::AsItWas;
    }
    InPlace result = InPlace::Written;
    if (!overwrite(file, bytes)) {
        result = overwrite(file, old) ? InPlace::AsItWas : InPlace::Damaged;
    }
    // The bytes are written; a flush or close that fails leaves them to the system to put on disk.
    (void)fileOperations.flushFileBuffers(file);
    (void)fileOperations.closeHandle(file);
    return result;
}

// Wine's ReplaceFile does not carry the attributes over, as Windows' does; nor does moving the
// new file into place.
void keepAttributes(const std::string& configPath, DWORD attributes)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesA(configPath.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kKept) != (attributes & kKept)) {
        (void)SetFileAttributesA(configPath.c_str(), (attributes & kKept) != 0 ? attributes & kKept : FILE_ATTRIBUTE_NORMAL);
    }
}

bool missing(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

// config.cfg is gone, its old bytes under the backup name, its new ones in the temporary file:
// as ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 (1177) leaves them. Finishes the replace by moving the
// new file into place, or else undoes it by moving the original back. Where neither can be
// moved there, the new file, complete, is kept under a name a person recognises.
void finishOrUndoReplace(Save& save, const ConfigFile& config)
{
    if (moveFile(save, save.temporary, save.config, 0)) {
        keepAttributes(save.config, config.attributes);
        removeFile(save, save.backup);
    } else if (moveFile(save, save.backup, save.config, 0)) {
        removeFile(save, save.temporary);
    } else if (moveFile(save, save.temporary, save.kept, MOVEFILE_REPLACE_EXISTING)) {
        removeFile(save, save.backup);
    }
    // Otherwise both files stay as they are, the original under the backup name.
}

// Puts the complete temporary file in config.cfg's place, or, where the replace is refused,
// writes config.cfg in place.
void replaceConfig(Save& save, const ConfigFile& config, const std::string& rewritten)
{
    if (config.contents == Contents::Missing) {
        // Not replacing: a config.cfg that appeared meanwhile is not ours to overwrite.
        if (!moveFile(save, save.temporary, save.config, 0)) {
            removeFile(save, save.temporary);
        }
        return;
    }
    if (retried(save, [&] {
            return fileOperations.replaceFile(save.config.c_str(), save.temporary.c_str(), save.backup.c_str(), 0,
                                              nullptr, nullptr) != FALSE;
        })) {
        keepAttributes(save.config, config.attributes);
        removeFile(save, save.backup);
        return;
    }
    // Which files are where after a failure is documented for each error. The one that moves
    // config.cfg to the backup name is 1177; the look at both names catches any other that did.
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 || (missing(save.config) && !missing(save.backup))) {
        finishOrUndoReplace(save, config);
        return;
    }
    // ERROR_UNABLE_TO_REMOVE_REPLACED (1175), ERROR_UNABLE_TO_MOVE_REPLACEMENT (1176, given a
    // backup name) and every other error leave both files under their own names. The replace
    // was refused: by another program holding config.cfg open without sharing its deletion,
    // above all. Whether that program shares writing is told by trying.
    removeFile(save, save.backup); // there should be none; one that is there is not needed
    if (writeInPlace(rewritten, config.bytes, OPEN_EXISTING) != InPlace::Damaged) {
        removeFile(save, save.temporary);
        return;
    }
    // config.cfg holds neither its old bytes nor the new: the new file, complete, is kept under a
    // name a person recognises, or else stays under its temporary name.
    (void)moveFile(save, save.temporary, save.kept, MOVEFILE_REPLACE_EXISTING);
}

} // namespace

FileOperations fileOperations;

void loadSettings()
{
    const ConfigFile config = readConfig();
    if (config.contents == Contents::Read) {
        parseSettings(config.bytes, launcherSettings);
    }
}

void saveSettings()
{
    try {
        const ConfigFile config = readConfig();
        // A file that exists but cannot be read has lines that would be lost; a read-only one
        // is not the launcher's to change.
        if (config.contents == Contents::Unreadable ||
            (config.contents == Contents::Read && (config.attributes & FILE_ATTRIBUTE_READONLY) != 0)) {
            return;
        }
        const std::string rewritten = rewriteSettings(config.bytes, launcherSettings);
        Save save;
        save.config = fullConfigPath();
        if (save.config.empty()) {
            return;
        }
        save.backup = save.config + kBackupSuffix;
        save.kept = save.config + kKeptSuffix;
        const HANDLE temporary = createTemporary(save);
        if (temporary == INVALID_HANDLE_VALUE) {
            // Where no file can be created beside config.cfg. Should the in-place write be
            // damaged beyond undoing, there is no other copy to keep.
            (void)writeInPlace(rewritten, config.bytes, config.contents == Contents::Missing ? CREATE_NEW : OPEN_EXISTING);
            return;
        }
        const bool written = writeAll(temporary, rewritten) && fileOperations.flushFileBuffers(temporary);
        const bool closed = fileOperations.closeHandle(temporary) != FALSE;
        if (!(written && closed)) {
            removeFile(save, save.temporary); // config.cfg is as it was; only the incomplete copy goes
            return;
        }
        replaceConfig(save, config, rewritten);
    } catch (...) {
        // Only allocation throws here: a file too large to hold twice leaves config.cfg as it was.
    }
}
