#pragma once

// config.cfg as bytes: which values its key lines hold, and what it becomes when the launcher
// writes its four values back. No file system here; the file layer reads and writes the bytes.
#include <string>
#include <string_view>

#include "settings/launcher_settings.h"

// Sets each value whose key line the file holds; the last key line of a key wins, and values
// without one are left as they are.
void parseSettings(std::string_view file, LauncherSettings& settings);

// The file with every key line replaced by its key's line for the current value, every other
// line kept byte for byte, and every line ended with CR LF.
std::string rewriteSettings(std::string_view file, const LauncherSettings& settings);
