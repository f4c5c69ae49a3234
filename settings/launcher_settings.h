#pragma once

#include <cstdint>

// The four settings that the launcher owns in config.cfg. Process-wide; all 0 until loaded.
struct LauncherSettings {
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t screenBPP = 0;
    std::int32_t bloom = 0;
};

extern LauncherSettings launcherSettings;
