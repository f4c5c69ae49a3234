#include "app/launcher_app.h"

#include <shellapi.h>

#include "app/launch_choice.h"
#include "app/launcher_dialog.h"
#include "resources/resource.h"
#include "settings/display_modes.h"
#include "settings/settings_file.h"

void LauncherApp::run(HINSTANCE, int)
{
    loadSettings();
    enumerateDisplayModes();
    const LaunchChoice choice = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LAUNCHER),
                                                nullptr, LauncherDlgProc, 0);
    undoLauncherDialogSetUp();
    // The launcher has nothing to add when the shell fails: there is no window left to report in.
    (void)ShellExecuteA(nullptr, "open", launchTarget(choice), "", "", SW_SHOWNORMAL);
}
