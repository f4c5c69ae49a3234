#include "settings/settings_file.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "settings/launcher_settings.h"
#include "settings/settings_format.h"

namespace {

constexpr char kConfigName[] = "config.cfg";
constexpr std::size_t kConfigNameLength = sizeof kConfigName - 1;

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

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk(bytes.size() - written), &done, nullptr) || done == 0) {
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

// A new file of its own beside config.cfg, open for writing; its path goes to path.
HANDLE createTemporary(const std::string& configPath, std::string& path)
{
    const std::string folder = configPath.substr(0, configPath.size() - kConfigNameLength);
    const DWORD seed = GetTickCount() ^ GetCurrentProcessId();
    for (DWORD attempt = 0; attempt <= 0xFFFF; ++attempt) {
        char leaf[32];
        (void)std::snprintf(leaf, sizeof leaf, "%s.%04lx.tmp", kConfigName, (seed + attempt) & 0xFFFF);
        path = folder + leaf;
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// Where no file can be created beside config.cfg, the old way is the only way left: overwrite
// it where it stands. Written over rather than emptied first, so that a failure part way keeps
// at least the rest of the old bytes.
void writeInPlace(const std::string& bytes)
{
    const HANDLE file = CreateFileA(kConfigName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    if (writeAll(file, bytes)) {
        (void)SetEndOfFile(file); // failing, it leaves old bytes behind the new, which is all it can do
    }
    (void)FlushFileBuffers(file);
    (void)CloseHandle(file);
}

// Wine's ReplaceFile does not carry the attributes over, as Windows' does.
void keepAttributes(const std::string& configPath, DWORD attributes)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesA(configPath.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kKept) != (attributes & kKept)) {
        (void)SetFileAttributesA(configPath.c_str(), (attributes & kKept) != 0 ? attributes & kKept : FILE_ATTRIBUTE_NORMAL);
    }
}

// Replacing config.cfg deletes it, which another handle may forbid. Knowing beforehand keeps the
// replace from failing part way: Wine's ReplaceFile, for one, then leaves a file of its own.
bool deletable()
{
    const HANDLE file = CreateFileA(kConfigName, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    (void)CloseHandle(file); // nothing was written through it
    return true;
}

// Puts the complete temporary file in config.cfg's place. True when the temporary must stay:
// it has become config.cfg, or it holds the only copy of config.cfg's lines.
bool moveIntoPlace(const std::string& configPath, const std::string& temporaryPath, const ConfigFile& config)
{
    if (config.contents == Contents::Missing) {
        // Not replacing: a config.cfg that appeared meanwhile is not ours to overwrite.
        return MoveFileExA(temporaryPath.c_str(), configPath.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!deletable()) {
        return false;
    }
    if (ReplaceFileA(configPath.c_str(), temporaryPath.c_str(), nullptr, 0, nullptr, nullptr)) {
        keepAttributes(configPath, config.attributes);
        return true;
    }
    // With no backup name this failure has already removed config.cfg: the temporary holds the
    // only copy of its lines, and takes its place or stays.
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        (void)MoveFileExA(temporaryPath.c_str(), configPath.c_str(), MOVEFILE_WRITE_THROUGH);
        return true;
    }
    return false;
}

} // namespace

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
        const std::string configPath = fullConfigPath();
        if (configPath.empty()) {
            return;
        }
        std::string temporaryPath;
        const HANDLE temporary = createTemporary(configPath, temporaryPath);
        if (temporary == INVALID_HANDLE_VALUE) {
            writeInPlace(rewritten);
            return;
        }
        const bool written = writeAll(temporary, rewritten) && FlushFileBuffers(temporary);
        const bool closed = CloseHandle(temporary) != FALSE;
        if (!(written && closed && moveIntoPlace(configPath, temporaryPath, config))) {
            (void)DeleteFileA(temporaryPath.c_str()); // config.cfg is as it was; only the copy goes
        }
    } catch (...) {
        // Only allocation throws here: a file too large to hold twice leaves config.cfg as it was.
    }
}
