#include "app/launcher_app.h"

#include <shellapi.h>

#include "app/launch_choice.h"
#include "app/launcher_dialog.h"
#include "resources/resource.h"
#include "settings/display_modes.h"
#include "settings/settings_file.h"
#include "shared/system_library.h"

namespace {

// SHELL32 is loaded only here, from the system folder. Imported, it would be loaded as the
// process starts, before the DLL search is restricted, and it pulls in DLLs of its own that the
// game folder could supply.
void shellOpen(const char* target)
{
    const HMODULE shell = loadSystemLibrary("shell32.dll");
    const auto shellExecute = shell ? exportedFunction<decltype(&ShellExecuteA)>(shell, "ShellExecuteA") : nullptr;
    if (shellExecute) {
        // The launcher has nothing to add when the shell fails: there is no window left to
        // report in.
        (void)shellExecute(nullptr, "open", target, "", "", SW_SHOWNORMAL);
    }
    // SHELL32 stays loaded: the process ends next, and the shell may still be at work in it.
}

} // namespace

void LauncherApp::run(HINSTANCE, int)
{
    loadSettings();
    enumerateDisplayModes();
    const LaunchChoice choice = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LAUNCHER), nullptr,
                                                LauncherDlgProc, 0);
    undoLauncherDialogSetUp();
    shellOpen(launchTarget(choice));
}
