// Stands in for a DLL planted in the game folder under a system DLL's name. Whatever process
// loads it appends a line "PROGRAM|DLL", both full paths, to dll-markers.txt beside it. It
// brings no runtime and imports only KERNEL32, so that it loads under any name.
#include <windows.h>

extern "C" BOOL WINAPI markerEntry(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char line[2 * MAX_PATH + 2];
    const DWORD programLength = GetModuleFileNameA(nullptr, line, MAX_PATH);
    line[programLength] = '|';
    char* const own = line + programLength + 1;
    const DWORD ownLength = GetModuleFileNameA(self, own, MAX_PATH);
    own[ownLength] = '\n';

    static const char kRecord[] = "dll-markers.txt";
    char record[MAX_PATH + sizeof kRecord];
    DWORD folderLength = 0;
    for (DWORD i = 0; i < ownLength; ++i) {
        record[i] = own[i];
        if (own[i] == '\\') {
            folderLength = i + 1;
        }
    }
    for (DWORD i = 0; i < sizeof kRecord; ++i) {
        record[folderLength + i] = kRecord[i];
    }

    const HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        (void)WriteFile(file, line, programLength + 1 + ownLength + 1, &written, nullptr);
        (void)CloseHandle(file);
    }
    return TRUE;
}
