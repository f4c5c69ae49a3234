#include "settings/display_mode_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "display_mode_printing.h"

namespace {

struct Size {
    std::uint32_t width, height;
};

DisplayModeList listOf(const std::vector<Size>& reported)
{
    DisplayModeList list;
    for (const Size& size : reported) {
        addAdapterMode(list, size.width, size.height);
    }
    return list;
}

} // namespace

TEST(AddAdapterMode, KeepsModesOfAtLeast1024By768At32Bits)
{
    const struct {
        Size reported;
        bool kept;
    } cases[] = {
        {{1024, 768}, true},  {{1024, 767}, false}, {{1023, 768}, false}, {{1366, 768}, true},  {{800, 600}, false},
        {{1152, 720}, false}, {{1280, 720}, false}, {{640, 1024}, false}, {{3840, 2160}, true}, {{0, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reported.width << " x " << c.reported.height);
        const DisplayModeList list = listOf({c.reported});
        if (c.kept) {
            ASSERT_EQ(list.size(), 1u);
            EXPECT_EQ(list[0], (DisplayMode{static_cast<std::int32_t>(c.reported.height),
                                            static_cast<std::int32_t>(c.reported.width), 32}));
        } else {
            EXPECT_EQ(list, DisplayModeList{});
        }
    }
}

TEST(AddAdapterMode, ComparesSizesAsUnsigned)
{
    // As signed values these would be negative and fall below the minimum.
    const DisplayModeList list = listOf({{0x80000400u, 768}, {1024, 0xFFFFFFFFu}});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (DisplayMode{768, static_cast<std::int32_t>(0x80000400u), 32}));
    EXPECT_EQ(list[1], (DisplayMode{-1, 1024, 32}));
}

TEST(AddAdapterMode, DropsOnlyARepeatOfTheLastRecord)
{
    const struct {
        const char* what;
        std::vector<Size> reported;
        DisplayModeList expected;
    } cases[] = {
        {"one mode at three refresh rates", {{1024, 768}, {1024, 768}, {1024, 768}}, {{768, 1024, 32}}},
        {"a repeat that is not a neighbour",
         {{1280, 1024}, {1280, 960}, {1280, 1024}},
         {{1024, 1280, 32}, {960, 1280, 32}, {1024, 1280, 32}}},
        {"a repeat behind a mode too small to keep", {{1280, 1024}, {800, 600}, {1280, 1024}}, {{1024, 1280, 32}}},
        {"width and height swapped", {{1280, 1024}, {1024, 1280}}, {{1024, 1280, 32}, {1280, 1024, 32}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(listOf(c.reported), c.expected);
    }
}

TEST(AddAdapterMode, NeverChangesWhatIsAlreadyListed)
{
    DisplayModeList list{{600, 800, 16}};
    addAdapterMode(list, 1024, 768);
    addAdapterMode(list, 640, 480);
    EXPECT_EQ(list, (DisplayModeList{{600, 800, 16}, {768, 1024, 32}}));
}
