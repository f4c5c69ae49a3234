#pragma once

#include <windows.h>

// The dialog procedure of the launcher window, template IDD_LAUNCHER. The dialog ends with the
// LaunchChoice of the button that ended it; a close request counts as CLOSE.
INT_PTR CALLBACK LauncherDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Undoes what the dialog's initialisation set up, once the dialog has ended: the web view,
// control first and host second, then OLE. Only what was set up is undone, whatever the dialog
// returned; after a dialog that never opened, nothing is.
void undoLauncherDialogSetUp();
