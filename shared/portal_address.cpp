#include "shared/portal_address.h"

const char kStartPageAddress[] = VORTHAL_PORTAL_ADDRESS "/?mini=2&gameid=219";
const char kStatsPageAddress[] = VORTHAL_PORTAL_ADDRESS "/stats/vorthal.html";
