#pragma once

// The operations through which saving config.cfg creates, writes, moves and deletes files: the
// real Win32 functions, unless a test puts others in their place (and back) to make a step fail.
#include <windows.h>

struct FileOperations {
    decltype(&CreateFileA) createFile = CreateFileA;
    decltype(&WriteFile) writeFile = WriteFile;
    decltype(&FlushFileBuffers) flushFileBuffers = FlushFileBuffers;
    decltype(&SetFilePointerEx) setFilePointerEx = SetFilePointerEx;
    decltype(&SetEndOfFile) setEndOfFile = SetEndOfFile;
    decltype(&CloseHandle) closeHandle = CloseHandle;
    decltype(&ReplaceFileA) replaceFile = ReplaceFileA;
    decltype(&MoveFileExA) moveFileEx = MoveFileExA;
    decltype(&DeleteFileA) deleteFile = DeleteFileA;
};

// The ones saveSettings calls.
extern FileOperations fileOperations;
