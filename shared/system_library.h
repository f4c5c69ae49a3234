#pragma once

#include <windows.h>

// The game folder, where the launcher lives, is writable by the player and by whatever is
// unpacked into it, so Windows' own DLLs must come from the system folder only.

// Restricts the search of every later DLL load in this process, and of the DLLs those pull in,
// to the system folder. The programs the launcher starts keep their own search order. A
// Windows 7 without update KB2533623 lacks the means, and its search stays as it was.
void restrictDllSearchToSystemFolder();

// The DLL of that file name from the system folder, loaded by its full path, or null.
HMODULE loadSystemLibrary(const char* name);

// The named export of a loaded DLL as a function of the given pointer type, or null.
template <typename Function>
Function exportedFunction(HMODULE library, const char* name)
{
    // Through a plain function pointer first: casting FARPROC straight to another function type
    // draws -Wcast-function-type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
