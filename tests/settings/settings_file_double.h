#pragma once

// Stands in for the settings file in programs that test its callers: each save is recorded
// instead of written.
#include <vector>

#include "settings/launcher_settings.h"
#include "settings/settings_file.h"

// The settings as they were at each saveSettings call, oldest first.
extern std::vector<LauncherSettings> savedSettings;
