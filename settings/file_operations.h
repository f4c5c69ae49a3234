#pragma once

// The operations through which replacing config.cfg creates, writes, moves and deletes files: the
// real Win32 functions, unless a test puts others in their place (and back) to make a step fail
// or to stop the process after any one of them.
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

// The ones replaceFileContents and removeLeftoverTemporaries call.
extern FileOperations fileOperations;

// At most this much per ReadFile or WriteFile call, whose counts are 32-bit.
inline DWORD ioChunk(std::size_t rest)
{
    return rest > 0x10000000 ? 0x10000000 : static_cast<DWORD>(rest);
}
