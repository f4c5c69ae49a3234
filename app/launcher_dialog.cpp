#include "app/launcher_dialog.h"

#include <ole2.h>

#include "resources/resource.h"
#include "settings/options_dialog.h"
#include "shared/window_centring.h"
#include "webview/web_view_host.h"
#include "webview/web_view_teardown.h"

namespace {

// Whether the initialisation initialised OLE, which the launcher must balance once the dialog
// has ended.
bool oleInitialised = false;

void onInitDialog(HWND dialog)
{
    // The template has no title; the text names the window on the taskbar and to Alt+Tab.
    (void)SetWindowTextA(dialog, "Vorthal");
    centreOnScreen(dialog);
    oleInitialised = SUCCEEDED(OleInitialize(nullptr));
    const HWND placeholder = GetDlgItem(dialog, IDC_WEBVIEW);
    webViewHost = WebViewHost::create();
    // Without memory for a host the placeholder stays black and the buttons work as ever.
    if (webViewHost) {
        webViewHost->embedBrowser(placeholder);
    }
}

void onCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_PLAY:
    case IDC_CLOSE:
    case IDC_GAMEPAD:
        (void)EndDialog(dialog, id);
        break;
    case IDC_OPTIONS:
        // Whatever the player did there, the launcher goes on.
        (void)DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_OPTIONS), dialog, OptionsDlgProc, 0);
        break;
    default:
        // IDOK and IDCANCEL too: Enter and Esc must not end the launcher.
        break;
    }
}

} // namespace

void undoLauncherDialogSetUp()
{
    tearDownWebView(webViewHost);
    if (oleInitialised) {
        OleUninitialize();
        oleInitialised = false;
    }
}

INT_PTR CALLBACK LauncherDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        (void)EndDialog(dialog, IDC_CLOSE);
        return TRUE;
    default:
        return FALSE;
    }
}
