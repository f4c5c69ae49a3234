#include "app/launch_choice.h"

#include "resources/resource.h"
#include "shared/portal_address.h"

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
