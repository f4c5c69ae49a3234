#pragma once

#include <windows.h>

// What the Options dialog ends with on a close request: the value a close request gives the
// launcher dialog too, though nothing here is a CLOSE button.
constexpr INT_PTR kCloseRequestResult = 1002;

// The dialog procedure of the Options dialog, template IDD_OPTIONS. It ends with IDOK after OK,
// IDCANCEL after Cancel and kCloseRequestResult on a close request.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the Bloom box from the settings and fills the resolution box from the display modes,
// selecting the current mode. Short of memory, the box gets fewer entries.
void fillOptionsDialog(HWND dialog);
