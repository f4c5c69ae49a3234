// Stands in for the game and the gamepad tool: records in its current directory that it ran,
// from where and as which process, then stays open until it is closed or ended. Where
// VORTHAL_STANDIN_LOADS names a DLL, it first loads it by that name, as a game loads its graphics
// DLL, so that a wrapper beside it comes first.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char library[MAX_PATH] = {};
    const HMODULE loaded = GetEnvironmentVariableA("VORTHAL_STANDIN_LOADS", library, MAX_PATH) ? LoadLibraryA(library)
                                                                                               : nullptr;
    char module[MAX_PATH] = {};
    char directory[MAX_PATH] = {};
    (void)GetModuleFileNameA(nullptr, module, MAX_PATH);
    (void)GetCurrentDirectoryA(MAX_PATH, directory);
    const char* name = strrchr(module, '\\') ? strrchr(module, '\\') + 1 : module;

    const std::string record = std::string("ran-") + name + ".txt";
    if (FILE* file = std::fopen(record.c_str(), "wb")) {
        std::fprintf(file, "%s\n%s\n%lu\n", module, directory, GetCurrentProcessId());
        std::fclose(file);
    }

    const std::string text = std::string("This stand-in for ") + name + " was started in\n" + directory;
    (void)MessageBoxA(nullptr, text.c_str(), "Vorthal stand-in", MB_OK | MB_ICONINFORMATION);
    if (loaded) {
        (void)FreeLibrary(loaded);
    }
    return 0;
}
