#include "settings/resolution_entries.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ResolutionText, IsWidthHeightAndDepth)
{
    const struct {
        DisplayMode mode;
        const char* text;
    } cases[] = {
        {{1080, 1920, 32}, "1920 x 1080 x 32"},
        {{768, 1024, 32}, "1024 x 768 x 32"},
        {{0, 0, 0}, "0 x 0 x 0"},
        // An adapter size with the top bit set passes the unsigned filter and reads negative.
        {{INT_MIN, INT_MIN, INT_MIN}, "-2147483648 x -2147483648 x -2147483648"},
        {{INT_MAX, INT_MAX, INT_MAX}, "2147483647 x 2147483647 x 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(resolutionText(c.mode), c.text);
    }
}

TEST(CurrentModePosition, IsTheLastRecordEqualToTheScreenSettings)
{
    const DisplayModeList list{{768, 1024, 32},  {800, 1280, 32}, {960, 1280, 32},
                               {1024, 1280, 32}, {800, 1280, 32}, {1024, 1280, 32}};
    const struct {
        const char* what;
        LauncherSettings settings;
        std::optional<std::size_t> position;
    } cases[] = {
        {"first record", {1024, 768, 32, 0}, 0},
        {"repeated record", {1280, 800, 32, 0}, 4},
        {"bloom plays no part", {1280, 960, 32, 7}, 2},
        {"no such size", {800, 600, 32, 0}, std::nullopt},
        {"other depth", {1280, 800, 16, 0}, std::nullopt},
        {"width and height swapped", {768, 1024, 32, 0}, std::nullopt},
        {"nothing loaded", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(currentModePosition(list, c.settings), c.position);
    }
    EXPECT_EQ(currentModePosition({}, {1024, 768, 32, 0}), std::nullopt);
}
