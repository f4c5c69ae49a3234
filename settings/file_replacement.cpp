#include "settings/file_replacement.h"

#include <cstdio>
#include <cstring>

#include "settings/file_operations.h"

namespace {

constexpr char kTemporaryEnd[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 4;
constexpr char kKeptEnd[] = ".kept";
// The most digits that a copy's number, an unsigned long, can take.
constexpr std::size_t kKeptDigits = 10;

bool moveFile(const std::string& from, const std::string& to, DWORD flags)
{
    return retried(
        [&] { return fileOperations.moveFileEx(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH) != FALSE; });
}

// A file that cannot be deleted even when tried again stays, to be removed by a later save.
void removeFile(const std::string& path)
{
    (void)retried([&] { return fileOperations.deleteFile(path.c_str()) != FALSE; });
}

// NAME.XXXX.tmp exactly, as temporaryName makes it.
bool isTemporaryName(const char* leaf, const char* name)
{
    const std::size_t nameLength = std::strlen(name);
    if (std::strlen(leaf) != nameLength + 1 + kTemporaryDigits + sizeof kTemporaryEnd - 1 ||
        std::strncmp(leaf, name, nameLength) != 0 || leaf[nameLength] != '.') {
        return false;
    }
    const char* digits = leaf + nameLength + 1;
    return std::strspn(digits, "0123456789abcdef") == kTemporaryDigits &&
           std::strcmp(digits + kTemporaryDigits, kTemporaryEnd) == 0;
}

// Writes the number into the digits of a name made by temporaryName.
void numberTemporary(std::string& temporary, DWORD number)
{
    char digits[kTemporaryDigits + 1];
    (void)std::snprintf(digits, sizeof digits, "%04lx", static_cast<unsigned long>(number & 0xFFFF));
    temporary.replace(temporary.size() - (sizeof kTemporaryEnd - 1) - kTemporaryDigits, kTemporaryDigits, digits);
}

std::string temporaryName(const char* name)
{
    return std::string(name) + "." + std::string(kTemporaryDigits, '0') + kTemporaryEnd;
}

// A new file of its own beside the file, open for writing, under a free temporary name that
// goes to `temporary`.
HANDLE createTemporary(std::string& temporary, DWORD attributes)
{
    const DWORD seed = GetTickCount() ^ GetCurrentProcessId();
    for (DWORD attempt = 0; attempt <= 0xFFFF; ++attempt) {
        numberTemporary(temporary, seed + attempt);
        const HANDLE file = fileOperations.createFile(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                      attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD done = 0;
        if (!fileOperations.writeFile(file, bytes.data() + written, ioChunk(bytes.size() - written), &done, nullptr) ||
            done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

// Makes the file hold exactly these bytes: written from offset 0, then the end of the file right
// behind them.
bool overwrite(HANDLE file, const std::string& bytes)
{
    const LARGE_INTEGER start{};
    return fileOperations.setFilePointerEx(file, start, nullptr, FILE_BEGIN) && writeAll(file, bytes) &&
           fileOperations.setEndOfFile(file);
}

// Overwrites the file where it stands, opened sharing writing as well as reading, so that another
// program holding it open that way does not stop it. A write, or setting the end, that fails part
// way is undone by writing the old bytes back at their old length. True where the file is known
// to hold all of its old bytes or all of the new ones: not where the undo fails too, nor where the
// flush or the close fails, since the system may then never put the bytes on disk, as with a
// network share lost or a drive pulled out too soon. A missing file is created, as one that
// appeared meanwhile is not ours to overwrite.
bool writeInPlace(const char* name, const std::string& bytes, const std::string* old)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!retried([&] {
            file = fileOperations.createFile(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             old != nullptr ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                             nullptr);
            return file != INVALID_HANDLE_VALUE;
        })) {
        return true; // untouched
    }
    const std::string none;
    const bool whole = overwrite(file, bytes) || overwrite(file, old != nullptr ? *old : none);
    const bool flushed = fileOperations.flushFileBuffers(file) != FALSE;
    const bool closed = fileOperations.closeHandle(file) != FALSE;
    return whole && flushed && closed;
}

// Moves the temporary file to the first free name of NAME.kept, NAME.kept2, NAME.kept3 and so
// on, which `kept` holds once it returns: no save deletes or overwrites any of them, so that each
// incident's copy stays until the player deals with it. False where a rename is refused for any
// other reason than the name being taken; the bytes then stay under their temporary name.
bool keepCopy(const std::string& temporary, std::string& kept)
{
    const std::size_t stem = kept.size();
    for (unsigned long number = 1; number != 0; ++number) {
        kept.resize(stem);
        if (number > 1) {
            char digits[kKeptDigits + 1];
            (void)std::snprintf(digits, sizeof digits, "%lu", number);
            kept += digits;
        }
        if (moveFile(temporary, kept, 0)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

// The attributes that the new bytes take over from the file they replace.
DWORD keptAttributes(DWORD attributes)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return (attributes & kKept) != 0 ? attributes & kKept : FILE_ATTRIBUTE_NORMAL;
}

} // namespace

FileOperations fileOperations;

void removeLeftoverTemporaries(const char* name)
{
    const std::string pattern = std::string(name) + ".*" + kTemporaryEnd;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isTemporaryName(found.cFileName, name)) {
            (void)fileOperations.deleteFile(found.cFileName); // once: a held one is someone's save under way
        }
    } while (FindNextFileA(search, &found));
    (void)FindClose(search);
}

void replaceFileContents(const char* name, const std::string& bytes, const std::string* old, DWORD attributes)
{
    // Every name is made before the first file, so that running out of memory leaves nothing behind.
    std::string temporary = temporaryName(name);
    std::string kept = std::string(name) + kKeptEnd;
    kept.reserve(kept.size() + kKeptDigits);

    const HANDLE file = createTemporary(temporary, keptAttributes(attributes));
    if (file == INVALID_HANDLE_VALUE) {
        // No file can be made beside it, as where the folder's path is as long as paths go, so
        // there is no copy to keep whatever the overwrite's outcome.
        (void)writeInPlace(name, bytes, old);
        return;
    }
    const bool written = writeAll(file, bytes) && fileOperations.flushFileBuffers(file);
    const bool closed = fileOperations.closeHandle(file) != FALSE;
    if (!(written && closed)) {
        removeFile(temporary); // the file is as it was; only the incomplete copy goes
        return;
    }
    if (old == nullptr) {
        if (!moveFile(temporary, name, 0)) {
            removeFile(temporary);
        }
        return;
    }
    if (moveFile(temporary, name, MOVEFILE_REPLACE_EXISTING)) {
        return;
    }
    // Refused, above all by another program that holds the file open without sharing its
    // deletion. Whether that program shares writing is told by trying.
    const std::string& copy = keepCopy(temporary, kept) ? kept : temporary;
    if (writeInPlace(name, bytes, old)) {
        removeFile(copy);
    }
}
