#include <windows.h>

#include <objbase.h>

#include <memory>
#include <new>

#include "app/launcher_app.h"
#include "shared/system_library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // First of all: every DLL loaded from here on, and every DLL it pulls in, is Windows' own.
    restrictDllSearchToSystemFolder();
    (void)CoInitialize(nullptr);
    // Allocated without throwing: an exception leaving WinMain would end the process with another
    // exit code. Without memory even for this object there is nothing to run.
    if (const std::unique_ptr<LauncherApp> app{new (std::nothrow) LauncherApp}) {
        app->run(instance, showCommand);
    }
    CoUninitialize();
    return 0;
}
