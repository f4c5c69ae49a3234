#pragma once

// config.cfg in the current directory, shared with the game: the launcher owns four key lines.

// Fills launcherSettings from the key lines of config.cfg; a missing file changes nothing.
void loadSettings();

// Rewrites the key lines of config.cfg with the values of launcherSettings, keeping every
// other line as it stands.
void saveSettings();
