#pragma once

// config.cfg in the current directory, shared with the game, and the process-wide
// launcherSettings. Neither operation reports anything: a file that cannot be read or written
// leaves the values, or the file, as they were.

// Sets each value whose key line config.cfg holds; leaves the others untouched.
void loadSettings();

// Rewrites config.cfg with the current values: key lines replaced where they stand, every
// other line kept. The file is replaced in one step, so that a failure leaves it as it was.
void saveSettings();
