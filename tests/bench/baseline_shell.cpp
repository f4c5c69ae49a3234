// Baseline for the launcher's PLAY: a program that asks the shell to start the game at once.
#include <windows.h>

#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    (void)ShellExecuteA(nullptr, "open", ".\\_Vorthal.exe", "", "", SW_SHOWNORMAL);
    return 0;
}
