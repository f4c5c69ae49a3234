#include "shared/system_library.h"

#include <cstring>

void restrictDllSearchToSystemFolder()
{
    // Looked up, not imported: an import that Windows lacks would keep the program from
    // starting at all.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = exportedFunction<SetDefaultDllDirectoriesFunction>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefaultDllDirectories) {
        // Refused only for flags Windows does not know; the launcher runs on either way.
        (void)setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE loadSystemLibrary(const char* name)
{
    // On the stack: a start-up short of memory still gets as far as its system DLLs.
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const std::size_t nameLength = std::strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) {
        return nullptr;
    }
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}
