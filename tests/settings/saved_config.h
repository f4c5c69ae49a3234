#pragma once

// What the real saveSettings wrote, for tests of its callers: a game folder of its own is the
// current directory, holding a config.cfg with all four keys in a form that any save rewrites.
#include <optional>

#include "settings/launcher_settings.h"
#include "support/current_directory.h"
#include "support/launcher_process.h"

class SavedConfig {
public:
    SavedConfig();

    // Puts the unsaved config.cfg back.
    void reset() const;
    // The values of the last save since the folder was made or reset; none when nothing saved.
    std::optional<LauncherSettings> saved() const;

private:
    GameFolder folder_;
    CurrentDirectory inFolder_{folder_.path()};
};
