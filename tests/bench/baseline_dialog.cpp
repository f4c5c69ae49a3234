// Baseline for the launcher's start-up: the least a program built the same way can do to show
// a dialog.
#include <windows.h>

namespace {

INT_PTR CALLBACK baselineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            (void)EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_CLOSE:
        (void)EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    (void)DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, baselineProc, 0);
    return 0;
}
