#include "settings/display_mode_filter.h"

void addAdapterMode(DisplayModeList& list, std::uint32_t width, std::uint32_t height)
{
    if (width < kMinimumModeWidth || height < kMinimumModeHeight) {
        return;
    }
    // The game renders in 32 bits whichever format the modes were listed in.
    const DisplayMode mode{static_cast<std::int32_t>(height), static_cast<std::int32_t>(width), 32};
    if (!list.empty() && list.back() == mode) {
        return;
    }
    list.push_back(mode);
}
