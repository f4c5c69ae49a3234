// Stands in for the game and the gamepad tool: records in its current directory that it ran,
// from where and as which process, then stays open until it is closed or ended.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
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
    return 0;
}
