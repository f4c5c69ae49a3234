#include "settings/launcher_settings.h"

LauncherSettings launcherSettings;
