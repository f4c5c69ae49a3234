#include "settings/display_modes.h"

#include <gtest/gtest.h>

#include "display_mode_printing.h"
#include "standin_direct3d.h"

namespace {

// Modes that tell the two formats apart.
const std::vector<ReportedMode> kArgbModes{{1280, 1024}};
const std::vector<ReportedMode> kXrgbModes{{1600, 1200}};
const DisplayModeList kArgbList{{1024, 1280, 32}};
const DisplayModeList kXrgbList{{1200, 1600, 32}};

} // namespace

TEST(EnumerateDisplayModes, ChoosesTheFirstFormatThatWorksFullScreen)
{
    const struct {
        const char* what;
        std::vector<D3DFORMAT> fullScreen;
        std::vector<D3DFORMAT> checked;
        D3DFORMAT enumerated;
        DisplayModeList list;
    } cases[] = {
        {"both", {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}, {D3DFMT_A8R8G8B8}, D3DFMT_A8R8G8B8, kArgbList},
        {"X8R8G8B8 only", {D3DFMT_X8R8G8B8}, {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}, D3DFMT_X8R8G8B8, kXrgbList},
        {"neither", {D3DFMT_R5G6B5}, {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}, D3DFMT_A8R8G8B8, kArgbList},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StandinDirect3D direct3d;
        direct3d.fullScreenFormats = c.fullScreen;
        direct3d.modes = {{D3DFMT_A8R8G8B8, kArgbModes}, {D3DFMT_X8R8G8B8, kXrgbModes}};
        enumerateDisplayModesAndRelease(&direct3d);

        ASSERT_EQ(direct3d.checks.size(), c.checked.size());
        for (size_t i = 0; i < c.checked.size(); ++i) {
            const DeviceTypeCheck& check = direct3d.checks[i];
            EXPECT_EQ(check.adapter, D3DADAPTER_DEFAULT);
            EXPECT_EQ(check.deviceType, D3DDEVTYPE_HAL);
            EXPECT_EQ(check.adapterFormat, c.checked[i]);
            EXPECT_EQ(check.backBufferFormat, c.checked[i]);
            EXPECT_EQ(check.windowed, FALSE);
        }
        EXPECT_EQ(direct3d.formatsEnumerated, std::vector<D3DFORMAT>{c.enumerated});
        EXPECT_EQ(displayModeList, c.list);
    }
}

TEST(EnumerateDisplayModes, ListsTheAdaptersModesInItsOrder)
{
    const struct {
        const char* what;
        std::vector<ReportedMode> reported;
        DisplayModeList list;
    } cases[] = {
        {"sizes around the minimum",
         {{1024, 768}, {1024, 767}, {1023, 768}, {1366, 768}, {800, 600}, {1152, 720}, {1280, 720}},
         {{768, 1024, 32}, {768, 1366, 32}}},
        {"one mode at three refresh rates", {{1024, 768, 60}, {1024, 768, 70}, {1024, 768, 75}}, {{768, 1024, 32}}},
        {"a mode repeated after another",
         {{1280, 1024}, {1280, 960}, {1280, 1024}},
         {{1024, 1280, 32}, {960, 1280, 32}, {1024, 1280, 32}}},
        {"an index that fails in the middle",
         {{1024, 768}, {1280, 960, 60, true}, {1280, 1024}},
         {{768, 1024, 32}, {1024, 1280, 32}}},
        {"the failed index hides no repeat", {{1280, 1024}, {1600, 1200, 60, true}, {1280, 1024}}, {{1024, 1280, 32}}},
        {"a width with the top bit set", {{0x80000400u, 768}}, {{768, static_cast<std::int32_t>(0x80000400u), 32}}},
        {"nothing large enough", {{800, 600}, {640, 480}}, {}},
        {"no modes", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StandinDirect3D direct3d;
        direct3d.fullScreenFormats = {D3DFMT_A8R8G8B8};
        direct3d.modes[D3DFMT_A8R8G8B8] = c.reported;
        enumerateDisplayModesAndRelease(&direct3d);
        EXPECT_EQ(displayModeList, c.list);
        for (UINT adapter : direct3d.adaptersAsked) {
            EXPECT_EQ(adapter, D3DADAPTER_DEFAULT);
        }
    }
}

TEST(EnumerateDisplayModes, ReleasesTheObjectAndReplacesTheOldList)
{
    displayModeList = {{600, 800, 16}, {1, 2, 3}};
    StandinDirect3D direct3d;
    direct3d.fullScreenFormats = {D3DFMT_A8R8G8B8};
    direct3d.modes[D3DFMT_A8R8G8B8] = {{1920, 1080}};
    enumerateDisplayModesAndRelease(&direct3d);
    EXPECT_EQ(displayModeList, (DisplayModeList{{1080, 1920, 32}}));
    EXPECT_EQ(direct3d.references, 0);
}

TEST(EnumerateDisplayModes, NoDirect3DObjectGivesAnEmptyList)
{
    displayModeList = {{768, 1024, 32}};
    enumerateDisplayModesAndRelease(nullptr);
    EXPECT_TRUE(displayModeList.empty());
}
