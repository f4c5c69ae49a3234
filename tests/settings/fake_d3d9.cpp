// A d3d9.dll as a graphics mod would drop it next to the game: it tells the process that it was
// loaded, and gives no Direct3D object.
#include <windows.h>

extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate9(UINT)
{
    return nullptr;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        (void)SetEnvironmentVariableA("VORTHAL_GAME_FOLDER_D3D9", "loaded");
    }
    return TRUE;
}
