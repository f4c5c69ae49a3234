#include "settings/settings_file.h"

#include <windows.h>

#include <string>

#include "settings/file_operations.h"
#include "settings/file_replacement.h"
#include "settings/launcher_settings.h"
#include "settings/settings_format.h"

namespace {

constexpr char kConfigName[] = "config.cfg";

enum class Contents { Read, Missing, Unreadable };

struct ConfigFile {
    Contents contents = Contents::Missing;
    std::string bytes;
    DWORD attributes = 0;
};

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
        if (!ReadFile(file, &bytes[length], ioChunk(bytes.size() - length), &got, nullptr)) {
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
// cut long lines into pieces. Another program holding the file for a moment is waited out, as
// the save's own steps wait it out.
ConfigFile readConfig()
{
    ConfigFile config;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!retried([&] {
            file = fileOperations.createFile(kConfigName, GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            return file != INVALID_HANDLE_VALUE;
        })) {
        config.contents = GetLastError() == ERROR_FILE_NOT_FOUND ? Contents::Missing : Contents::Unreadable;
        return config;
    }
    config.contents = Contents::Unreadable;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file, &information)) {
        const unsigned long long size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) |
                                        information.nFileSizeLow;
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
    (void)fileOperations.closeHandle(file); // opened for reading only: nothing is lost if closing fails
    if (config.contents != Contents::Read) {
        config.bytes = std::string();
    }
    return config;
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
        removeLeftoverTemporaries(kConfigName);
        const ConfigFile config = readConfig();
        // A file that exists but cannot be read has lines that would be lost; a read-only one
        // is not the launcher's to change.
        if (config.contents == Contents::Unreadable ||
            (config.contents == Contents::Read && (config.attributes & FILE_ATTRIBUTE_READONLY) != 0)) {
            return;
        }
        replaceFileContents(kConfigName, rewriteSettings(config.bytes, launcherSettings),
                            config.contents == Contents::Read ? &config.bytes : nullptr, config.attributes);
    } catch (...) {
        // Only allocation throws here: a file too large to hold twice leaves config.cfg as it was.
    }
}
