#pragma once

// Where a window of the given extent starts when centred on a screen of the given extent.
// Integer division truncates toward zero, so a window wider than the screen overhangs both
// edges alike.
constexpr int centredOrigin(int screenExtent, int windowExtent)
{
    return (screenExtent - windowExtent) / 2;
}

#ifdef _WIN32
#include <windows.h>

// Moves a window to the centre of the primary screen, keeping its size.
void centreOnScreen(HWND window);
#endif
