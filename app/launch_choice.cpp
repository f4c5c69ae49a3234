#include "app/launch_choice.h"

#include "app/portal_address.h"
#include "resources/resource.h"

const char* launchTarget(LaunchChoice choice)
{
    switch (choice) {
    case IDC_PLAY:
        return ".\\_Vorthal.exe";
    case IDC_GAMEPAD:
        return ".\\xpad.exe";
    default:
        return kStatsPageAddress;
    }
}
