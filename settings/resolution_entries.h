#pragma once

// How the Options dialog's resolution box presents the display modes.
#include <cstddef>
#include <optional>
#include <string>

#include "settings/display_modes.h"
#include "settings/launcher_settings.h"

// The entry text of a mode: width, height and depth, as in "1920 x 1080 x 32".
std::string resolutionText(const DisplayMode& mode);

// The position of the last record that equals the screen settings, if any does.
std::optional<std::size_t> currentModePosition(const DisplayModeList& list, const LauncherSettings& settings);
