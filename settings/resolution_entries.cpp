#include "settings/resolution_entries.h"

#include <cstdio>

std::string resolutionText(const DisplayMode& mode)
{
    // Room for three of the longest values, "-2147483648".
    char text[48] = {};
    (void)std::snprintf(text, sizeof text, "%d x %d x %d", static_cast<int>(mode.width), static_cast<int>(mode.height),
                        static_cast<int>(mode.bitsPerPixel));
    return text;
}

std::optional<std::size_t> currentModePosition(const DisplayModeList& list, const LauncherSettings& settings)
{
    const DisplayMode current{settings.screenHeight, settings.screenWidth, settings.screenBPP};
    for (std::size_t position = list.size(); position > 0; --position) {
        if (list[position - 1] == current) {
            return position - 1;
        }
    }
    return std::nullopt;
}
