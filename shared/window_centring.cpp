#include "shared/window_centring.h"

void centreOnScreen(HWND window)
{
    RECT frame{};
    (void)GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    (void)MoveWindow(window, centredOrigin(GetSystemMetrics(SM_CXSCREEN), width),
                     centredOrigin(GetSystemMetrics(SM_CYSCREEN), height), width, height, TRUE);
}
