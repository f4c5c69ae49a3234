#pragma once

#include <windows.h>

// The dialog procedure of the launcher window, template IDD_LAUNCHER. The dialog ends with the
// LaunchChoice of the button that ended it; a close request counts as CLOSE.
INT_PTR CALLBACK LauncherDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
