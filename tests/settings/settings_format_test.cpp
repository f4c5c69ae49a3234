#include "settings/settings_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

using namespace std::string_literals;

namespace {

auto fields(const LauncherSettings& s)
{
    return std::make_tuple(s.screenWidth, s.screenHeight, s.screenBPP, s.bloom);
}

// Values no line in these tests holds, so that an untouched value shows.
constexpr LauncherSettings kUntouched{7777, 6666, 55, 44};

LauncherSettings parsed(const std::string& file)
{
    LauncherSettings settings = kUntouched;
    parseSettings(file, settings);
    return settings;
}

} // namespace

TEST(ParseSettings, ReadsTheValueWindowOfEachKeyLine)
{
    struct Case {
        std::string line;
        LauncherSettings expected;
    };
    const auto width = [](int v) { return LauncherSettings{v, 6666, 55, 44}; };
    const Case cases[] = {
        {"screenWidth = 1920", width(1920)},
        {"screenWidth = 800", width(800)},
        {"screenWidth=1024", width(24)}, // the window starts at column 14 whatever precedes it
        {"screenWidth = 12345", width(1234)},
        {"screenWidth = -800", width(-800)},
        {"screenWidth = +77", width(77)},
        {"screenWidth = abc", width(0)},
        {"screenWidth = 0x10", width(0)},
        {"screenWidth =   7", width(7)},
        {"screenWidth = 1 2", width(1)},
        {"screenWidthXYZ640", width(640)}, // the three characters before the window are never examined
        {"screenWidthX = 5", width(5)},
        {"screenWidth = ", width(0)},
        {"screenWidth =", width(0)}, // too short to reach the value column
        {"ScreenWidth = 800", kUntouched},
        {" screenWidth = 800", kUntouched},
        {"\tscreenWidth = 800", kUntouched},
        {"screenwidth = 800", kUntouched},
        {"screenHeight = 1080", {7777, 1080, 55, 44}},
        {"screenBPP = 128", {7777, 6666, 12, 44}},
        {"screenBPP = 32", {7777, 6666, 32, 44}},
        {"bloom = 1", {7777, 6666, 55, 1}},
        {"bloom = -1", {7777, 6666, 55, -1}},
        {"bloom=1", {7777, 6666, 55, 0}}, // the line ends exactly at the value column
        {"bloom = 1x", {7777, 6666, 55, 1}},
    };
    for (const auto& c : cases) {
        for (const char* end : {"\r\n", "\n", ""}) {
            SCOPED_TRACE(testing::Message()
                         << '"' << c.line << "\" ended by " << testing::PrintToString(std::string(end)));
            EXPECT_EQ(fields(parsed(c.line + end)), fields(c.expected));
            EXPECT_EQ(fields(parsed("game line\r\n" + c.line + end)), fields(c.expected));
        }
    }
}

TEST(ParseSettings, AKeyNameAloneNeedsALineEndToCount)
{
    EXPECT_EQ(fields(parsed("screenWidth")), fields(kUntouched));
    EXPECT_EQ(fields(parsed("x\nbloom")), fields(kUntouched));
    EXPECT_EQ(fields(parsed("screenWidth\r\n")), fields(LauncherSettings{0, 6666, 55, 44}));
    EXPECT_EQ(fields(parsed("bloom\n")), fields(LauncherSettings{7777, 6666, 55, 0}));
    EXPECT_EQ(fields(parsed("bloom ")), fields(LauncherSettings{7777, 6666, 55, 0}));
}

TEST(ParseSettings, TheLastLineOfAKeyWins)
{
    EXPECT_EQ(fields(parsed("screenWidth = 800\r\nbloom = 1\r\nscreenWidth = 1024\r\n")),
              fields(LauncherSettings{1024, 6666, 55, 1}));
    EXPECT_EQ(fields(parsed("screenWidth = 800\nscreenWidth = abc\n")), fields(LauncherSettings{0, 6666, 55, 44}));
}

TEST(ParseSettings, EmptyOrKeylessFilesChangeNothing)
{
    for (const std::string& file : {""s, "\r\n"s, "\n\n\n"s, "width = 5\r\n"s, "\r"s}) {
        SCOPED_TRACE(testing::PrintToString(file));
        EXPECT_EQ(fields(parsed(file)), fields(kUntouched));
    }
}

TEST(ParseSettings, ReadsPastBytesThatTextModeStopsAtOrCuts)
{
    const std::string longLine(10000, 'x');
    const struct {
        std::string file;
        LauncherSettings expected;
    } cases[] = {
        {"a\x1A"
         "b\r\nbloom = 1\r\n",
         {7777, 6666, 55, 1}},
        {"a\0b\r\nbloom = 1\r\n"s, {7777, 6666, 55, 1}},
        {"bloom = \0"
         "1\r\n"s,
         {7777, 6666, 55, 0}},
        {"a\rbloom = 1\r\n", kUntouched}, // a lone CR ends no line
        {"bloom = 1\r\r\n", {7777, 6666, 55, 1}},
        {longLine + "\r\nbloom = 1\r\n", {7777, 6666, 55, 1}},
        // Read in pieces of 259 characters, the text would find a key line here.
        {std::string(259, 'x') + "screenWidth = 1234\r\n", kUntouched},
        {std::string(258, 'x') + "\nscreenWidth = 1234\r\n", {1234, 6666, 55, 44}},
        {"screenWidth = 1920" + longLine + "\r\n", {1920, 6666, 55, 44}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file.substr(0, 40)));
        EXPECT_EQ(fields(parsed(c.file)), fields(c.expected));
    }
}

TEST(RewriteSettings, TheWorkedExampleByteForByte)
{
    const std::string before =
        "screenWidth = 1024\r\nscreenHeight = 768\r\nscreenBPP = 32\r\n\r\na line of the game's own, without line end";
    LauncherSettings settings;
    parseSettings(before, settings);
    EXPECT_EQ(fields(settings), fields(LauncherSettings{1024, 768, 32, 0}));

    settings.bloom = 1;
    settings.screenWidth = 1280;
    settings.screenHeight = 1024;
    const std::string after = rewriteSettings(before, settings);
    EXPECT_EQ(after, "screenWidth = 1280\r\nscreenHeight = 1024\r\nscreenBPP = 32\r\n\r\n"
                     "a line of the game's own, without line end\r\n");
    EXPECT_EQ(parsed(after).bloom, 44); // no bloom line was added
}

TEST(RewriteSettings, ReplacesKeyLinesAndKeepsEveryOtherLine)
{
    const LauncherSettings settings{1280, 1024, 32, 1};
    const std::string longLine(10000, 'y');
    const struct {
        std::string before;
        std::string after;
    } cases[] = {
        {"", ""},
        {"\n", "\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\nb\r\n"},
        {"screenWidth = 800\nscreenWidth = 640\n", "screenWidth = 1280\r\nscreenWidth = 1280\r\n"},
        {"screenWidthX = 5\n", "screenWidth = 1280\r\n"},
        {"screenWidth", "screenWidth = 1280\r\n"},
        {"bloom=1\r\nscreenBPP\r\nscreenHeight: 9\r\n", "bloom = 1\r\nscreenBPP = 32\r\nscreenHeight = 1024\r\n"},
        {" screenWidth = 5\nScreenWidth = 5\n", " screenWidth = 5\r\nScreenWidth = 5\r\n"},
        {"a\x1A"
         "b\n\x1A\n",
         "a\x1A"
         "b\r\n\x1A\r\n"},
        {"a\0b\n\0\0\n"s, "a\0b\r\n\0\0\r\n"s},
        {"a\rb\n\r\n\r\r\n\r", "a\rb\r\n\r\n\r\r\n\r\r\n"},
        {longLine + "\n" + longLine, longLine + "\r\n" + longLine + "\r\n"},
        {"bloom = 0" + longLine + "\n", "bloom = 1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.before.substr(0, 40)));
        EXPECT_EQ(rewriteSettings(c.before, settings), c.after);
    }
}

TEST(RewriteSettings, WrittenValuesReadBackWhereTheyFitTheirWindow)
{
    const std::string file = "screenWidth = 0\nscreenHeight = 0\nscreenBPP = 0\nbloom = 0\n";
    const struct {
        LauncherSettings written;
        std::string lines;
        LauncherSettings readBack;
    } cases[] = {
        {{1920, 1080, 32, 1},
         "screenWidth = 1920\r\nscreenHeight = 1080\r\nscreenBPP = 32\r\nbloom = 1\r\n",
         {1920, 1080, 32, 1}},
        {{-800, -999, -1, -9},
         "screenWidth = -800\r\nscreenHeight = -999\r\nscreenBPP = -1\r\nbloom = -9\r\n",
         {-800, -999, -1, -9}},
        {{12345, -1000, 128, -10},
         "screenWidth = 12345\r\nscreenHeight = -1000\r\nscreenBPP = 128\r\nbloom = -10\r\n",
         {1234, -100, 12, -1}},
        {{INT_MIN, INT_MAX, 0, 0},
         "screenWidth = -2147483648\r\nscreenHeight = 2147483647\r\nscreenBPP = 0\r\nbloom = 0\r\n",
         {-214, 2147, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        const std::string rewritten = rewriteSettings(file, c.written);
        EXPECT_EQ(rewritten, c.lines);
        EXPECT_EQ(fields(parsed(rewritten)), fields(c.readBack));
    }
}
