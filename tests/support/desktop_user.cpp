// Keeps a test world's desktop in use for as long as the world lives, and says on its standard
// output when it does. Wine closes a desktop, and ends the explorer.exe that serves it, a second
// after the desktop's last program has ended: without a user of its own the world's desktop
// would be started again by every test, and the previous test's explorer.exe would still be
// ending, holding that test's output, while the next test began.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A message-only window makes this thread a user of the desktop and shows nothing.
    const HWND window = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        return 1;
    }
    DWORD written = 0;
    (void)WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        (void)DispatchMessageA(&message);
    }
    return 0;
}
