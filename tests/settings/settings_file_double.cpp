#include "settings_file_double.h"

LauncherSettings launcherSettings;
std::vector<LauncherSettings> savedSettings;

void loadSettings() {}

void saveSettings()
{
    savedSettings.push_back(launcherSettings);
}
