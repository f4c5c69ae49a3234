#pragma once

// config.cfg in the current directory, shared with the game, and the process-wide
// launcherSettings. Neither operation reports anything.

// Sets each value whose key line config.cfg holds; leaves the others untouched. A file that
// cannot be read leaves them all as they were. Both operations wait out, for well under a
// second, another program that holds config.cfg open without sharing it.
void loadSettings();

// Rewrites config.cfg with the current values: key lines replaced where they stand, every
// other line kept. A file that cannot be read, or is read-only, is left as it was.
//
// First removes the temporary files that an interrupted earlier save left beside config.cfg.
// The new bytes then take config.cfg's place by one rename, so that it holds all of its old
// bytes or all of the new ones at every moment; only where the rename is refused is config.cfg
// overwritten where it stands, with the complete new bytes kept beside it meanwhile
// (replaceFileContents tells how, and packaging/README.txt tells the player).
void saveSettings();
