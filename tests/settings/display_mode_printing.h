#pragma once

// Lets GoogleTest show display modes in failure messages.
#include <ostream>

#include "settings/display_modes.h"

inline void PrintTo(const DisplayMode& mode, std::ostream* out)
{
    *out << mode.width << " x " << mode.height << " x " << mode.bitsPerPixel;
}
