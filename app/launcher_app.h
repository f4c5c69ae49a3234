#pragma once

#include <windows.h>

// Orders the launcher's single pass: settings and display modes, the launcher dialog, the
// teardown of what the dialog set up, and the launch of the player's choice.
class LauncherApp {
public:
    virtual ~LauncherApp() = default;

    void run(HINSTANCE instance, int showCommand);
};
