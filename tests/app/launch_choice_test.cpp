#include "app/launch_choice.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/portal_address.h"

TEST(LaunchTarget, EachChoiceOpensItsTarget)
{
    const std::string stats = kStatsPageAddress;
    const struct {
        LaunchChoice choice;
        std::string target;
    } cases[] = {
        {1000, ".\\_Vorthal.exe"}, // PLAY
        {1003, ".\\xpad.exe"},     // GAMEPAD
        {1002, stats},             // CLOSE and close requests
        {-1, stats},               // the dialog could not be shown
        {0, stats},
        {1, stats},    // IDOK
        {2, stats},    // IDCANCEL
        {1001, stats}, // OPTONS never ends the dialog, but would not launch
        {999, stats},
        {1004, stats},
        {0x10000 + 1000, stats}, // only the exact id counts, not its low word
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        EXPECT_EQ(launchTarget(c.choice), c.target);
    }
}

TEST(LaunchTarget, PortalPagesShareTheBuiltInHost)
{
    const std::string stats = kStatsPageAddress;
    const std::string start = kStartPageAddress;
    const std::string statsPath = "/stats/vorthal.html";
    const std::string startPath = "/?mini=2&gameid=219";
    ASSERT_GT(stats.size(), statsPath.size());
    ASSERT_GT(start.size(), startPath.size());
    EXPECT_EQ(stats.substr(stats.size() - statsPath.size()), statsPath);
    EXPECT_EQ(start.substr(start.size() - startPath.size()), startPath);
    EXPECT_EQ(stats.substr(0, stats.size() - statsPath.size()), start.substr(0, start.size() - startPath.size()));
}
