#pragma once

#include <windows.h>

// The dialog procedure of the Options dialog, template IDD_OPTIONS. It ends with IDOK after OK,
// IDCANCEL after Cancel and IDC_CLOSE on a close request.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the Bloom box from the settings and fills the resolution box from the display modes,
// selecting the current mode.
void fillOptionsDialog(HWND dialog);
