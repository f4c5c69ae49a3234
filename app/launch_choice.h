#pragma once

#include <cstdint>

// The value the launcher dialog ends with: the id of the button that ended it.
using LaunchChoice = std::intptr_t;

// What the shell opens for a choice. Anything but PLAY and GAMEPAD, a failed dialog among
// them, opens the statistics page.
const char* launchTarget(LaunchChoice choice);
