#pragma once

#include <cstdint>

#include "settings/display_modes.h"

// The smallest mode the game supports.
constexpr std::uint32_t kMinimumModeWidth = 1024;
constexpr std::uint32_t kMinimumModeHeight = 768;

// Takes a mode the adapter reported into the list: as a 32-bit record, and only if it is at
// least the minimum size and differs from the record before it. Refresh rates are not part
// of a record, so one mode reported at several rates in a row enters once.
void addAdapterMode(DisplayModeList& list, std::uint32_t width, std::uint32_t height);
