#include <windows.h>

#include <objbase.h>

#include <memory>

#include "app/launcher_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    (void)CoInitialize(nullptr);
    {
        const auto app = std::make_unique<LauncherApp>();
        app->run(instance, showCommand);
    }
    CoUninitialize();
    return 0;
}
