#pragma once

// config.cfg in the current directory, shared with the game, and the process-wide
// launcherSettings. Neither operation reports anything.

// Sets each value whose key line config.cfg holds; leaves the others untouched. A file that
// cannot be read leaves them all as they were.
void loadSettings();

// Rewrites config.cfg with the current values: key lines replaced where they stand, every
// other line kept. A file that cannot be read, or is read-only, is left as it was.
//
// The new bytes go to a file of their own beside config.cfg, which then replaces it in one
// step. Where the replace is refused, as when another program holds config.cfg open without
// sharing its deletion, config.cfg is overwritten where it stands, if it can be opened for
// writing; should that fail part way, its old bytes are written back. Either way config.cfg ends
// up holding all of its old bytes or all of the new ones, and the files made beside it are
// deleted. Access denied and sharing violations are tried again, for 310 ms at most in all.
// Only where a second failure keeps a save from being either finished or undone does a complete
// copy of the new bytes stay behind, as config.cfg.kept (packaging/README.txt tells of it).
void saveSettings();
