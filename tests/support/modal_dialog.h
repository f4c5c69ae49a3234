#pragma once

// Drives a real dialog, made from its real template and run by the real dialog manager, from
// inside its own modal loop: the way the program itself runs it.
#include <windows.h>

#include <functional>

// What runModal returns when the dialog was still open after whileOpen.
constexpr INT_PTR kStillOpen = 0x5EED;

// Shows the dialog of this program's template modally with proc as its dialog procedure and,
// once the dialog is up, calls whileOpen with it from inside the modal loop. Returns the
// dialog's result, or kStillOpen when nothing ended it.
INT_PTR runModal(int templateId, DLGPROC proc, const std::function<void(HWND)>& whileOpen, HWND owner = nullptr);

// Sends a message through the dialog's window as the system would and returns what the
// dialog procedure itself returned for it.
INT_PTR sendToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
