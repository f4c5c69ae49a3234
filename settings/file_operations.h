#pragma once

// The operations through which config.cfg is read and replaced: the real Win32 functions, unless
// a test puts others in their place (and back) to make a step fail, to let go of a file that it
// holds, or to stop the process after any one of them.
#include <windows.h>

#include <cstddef>

struct FileOperations {
    decltype(&CreateFileA) createFile = CreateFileA;
    decltype(&WriteFile) writeFile = WriteFile;
    decltype(&FlushFileBuffers) flushFileBuffers = FlushFileBuffers;
    decltype(&SetFilePointerEx) setFilePointerEx = SetFilePointerEx;
    decltype(&SetEndOfFile) setEndOfFile = SetEndOfFile;
    decltype(&CloseHandle) closeHandle = CloseHandle;
    decltype(&MoveFileExA) moveFileEx = MoveFileExA;
    decltype(&DeleteFileA) deleteFile = DeleteFileA;
};

// The ones that reading config.cfg, replaceFileContents and removeLeftoverTemporaries call.
extern FileOperations fileOperations;

// At most this much per ReadFile or WriteFile call, whose counts are 32-bit.
inline DWORD ioChunk(std::size_t rest)
{
    return rest > 0x10000000 ? 0x10000000 : static_cast<DWORD>(rest);
}

// Where another program holds a file for a moment, as the game does while it closes config.cfg,
// and backup tools, virus scanners and indexers do with a file just written, an operation
// (true where it succeeded) is tried again after pauses of 10, 20, 40 and 80 ms: one slow step
// leaves the next its own tries, and a whole save stays well under a second. Any other error,
// a missing file among them, is returned at once; the last error is the operation's.
template <typename Operation>
bool retried(Operation operation)
{
    constexpr DWORD kFirstPause = 10;
    constexpr DWORD kLastPause = 80;
    for (DWORD pause = kFirstPause;; pause *= 2) {
        if (operation()) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || pause > kLastPause) {
            return false;
        }
        Sleep(pause);
    }
}
