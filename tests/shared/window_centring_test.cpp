#include "shared/window_centring.h"

#include <gtest/gtest.h>

TEST(CentredOrigin, TruncatesTowardZero)
{
    const struct {
        int screen;
        int window;
        int origin;
    } cases[] = {
        {1024, 651, 186}, {800, 1001, -100}, // not -101: the window overhangs both edges alike
        {1280, 760, 260}, {1280, 761, 259},  {1024, 1024, 0}, {800, 801, 0}, // -1 / 2 truncates to 0
        {800, 803, -1},   {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window << " on " << c.screen);
        EXPECT_EQ(centredOrigin(c.screen, c.window), c.origin);
    }
}
