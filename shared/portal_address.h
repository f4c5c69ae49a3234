#pragma once

// The portal's pages. The portal's scheme and host are fixed when the program is built.
extern const char kStartPageAddress[];
extern const char kStatsPageAddress[];
