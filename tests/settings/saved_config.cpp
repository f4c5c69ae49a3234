#include "saved_config.h"

#include "settings/settings_format.h"

namespace {

// No blanks around the equals signs: a save always writes them.
const char kUnsaved[] = "screenWidth=0\r\nscreenHeight=0\r\nscreenBPP=0\r\nbloom=0\r\n";

} // namespace

SavedConfig::SavedConfig()
{
    reset();
}

void SavedConfig::reset() const
{
    folder_.write("config.cfg", kUnsaved);
}

std::optional<LauncherSettings> SavedConfig::saved() const
{
    const std::string file = folder_.read("config.cfg");
    if (file == kUnsaved) {
        return std::nullopt;
    }
    LauncherSettings values;
    parseSettings(file, values);
    return values;
}
