#include "settings/options_dialog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "saved_config.h"
#include "settings/display_modes.h"
#include "shared/window_centring.h"
#include "support/modal_dialog.h"

static bool operator==(const LauncherSettings& a, const LauncherSettings& b)
{
    return a.screenWidth == b.screenWidth && a.screenHeight == b.screenHeight && a.screenBPP == b.screenBPP &&
           a.bloom == b.bloom;
}

static void PrintTo(const LauncherSettings& settings, std::ostream* out)
{
    *out << settings.screenWidth << " x " << settings.screenHeight << " x " << settings.screenBPP << ", bloom "
         << settings.bloom;
}

namespace {

// By position: 1024 x 768, 1280 x 800, 1280 x 960, 1280 x 1024.
const DisplayModeList kFourModes{{768, 1024, 32}, {800, 1280, 32}, {960, 1280, 32}, {1024, 1280, 32}};

struct Entry {
    std::string text;
    LRESULT position;

    bool operator==(const Entry& other) const { return text == other.text && position == other.position; }
};

void PrintTo(const Entry& entry, std::ostream* out)
{
    *out << '"' << entry.text << "\" -> " << entry.position;
}

HWND resolutions(HWND dialog)
{
    return GetDlgItem(dialog, IDC_RESOLUTION);
}

std::vector<Entry> entries(HWND dialog)
{
    std::vector<Entry> shown;
    const LRESULT count = SendMessageA(resolutions(dialog), CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        char text[64] = {};
        (void)SendMessageA(resolutions(dialog), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        shown.push_back({text, SendMessageA(resolutions(dialog), CB_GETITEMDATA, index, 0)});
    }
    return shown;
}

// The selected entry; an empty text and -1 when nothing is selected.
Entry selected(HWND dialog)
{
    const LRESULT index = SendMessageA(resolutions(dialog), CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {"", CB_ERR};
    }
    return entries(dialog).at(static_cast<size_t>(index));
}

bool bloomChecked(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_BLOOM) == BST_CHECKED;
}

void clickBloom(HWND dialog)
{
    (void)SendMessageA(GetDlgItem(dialog, IDC_BLOOM), BM_CLICK, 0, 0);
}

void pressOk(HWND dialog)
{
    (void)sendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// A key pressed while the dialog has the focus, through the dialog manager as a real one.
void pressKey(WPARAM key)
{
    const HWND focus = GetFocus();
    (void)PostMessageA(focus, WM_KEYDOWN, key, 1);
    (void)PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

class OptionsDialog : public testing::Test {
protected:
    void SetUp() override
    {
        displayModeList = kFourModes;
        launcherSettings = {};
    }

    static INT_PTR run(const std::function<void(HWND)>& whileOpen, HWND owner = nullptr)
    {
        return runModal(IDD_OPTIONS, OptionsDlgProc, whileOpen, owner);
    }

    SavedConfig config;
};

} // namespace

TEST_F(OptionsDialog, ShowsOneEntryPerModeInTextOrderWithItsPosition)
{
    run([](HWND dialog) {
        const std::vector<Entry> expected{
            {"1024 x 768 x 32", 0}, {"1280 x 1024 x 32", 3}, {"1280 x 800 x 32", 1}, {"1280 x 960 x 32", 2}};
        EXPECT_EQ(entries(dialog), expected);
    });

    // Equal texts stand together, in whichever order the box keeps them.
    displayModeList = {{1024, 1280, 32}, {960, 1280, 32}, {1024, 1280, 32}};
    run([](HWND dialog) {
        std::vector<Entry> shown = entries(dialog);
        ASSERT_EQ(shown.size(), 3u);
        if (shown[0].position > shown[1].position) {
            std::swap(shown[0], shown[1]);
        }
        const std::vector<Entry> expected{{"1280 x 1024 x 32", 0}, {"1280 x 1024 x 32", 2}, {"1280 x 960 x 32", 1}};
        EXPECT_EQ(shown, expected);
    });
}

TEST_F(OptionsDialog, SelectsTheCurrentModeAndOkStoresTheSelection)
{
    const struct {
        const char* what;
        DisplayModeList modes;
        LauncherSettings settings;
        Entry selection;
        LauncherSettings saved;
    } cases[] = {
        {"current mode sorts after one added later",
         kFourModes,
         {1280, 800, 32, 0},
         {"1280 x 800 x 32", 1},
         {1280, 800, 32, 0}},
        {"last mode", kFourModes, {1280, 1024, 32, 0}, {"1280 x 1024 x 32", 3}, {1280, 1024, 32, 0}},
        {"no such size", kFourModes, {800, 600, 32, 0}, {"1024 x 768 x 32", 0}, {1024, 768, 32, 0}},
        {"another depth", kFourModes, {1280, 800, 16, 0}, {"1024 x 768 x 32", 0}, {1024, 768, 32, 0}},
        {"nothing loaded", kFourModes, {}, {"1024 x 768 x 32", 0}, {1024, 768, 32, 0}},
        {"a mode listed twice: the later record",
         {{1024, 1280, 32}, {960, 1280, 32}, {1024, 1280, 32}},
         {1280, 1024, 32, 0},
         {"1280 x 1024 x 32", 2},
         {1280, 1024, 32, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        displayModeList = c.modes;
        launcherSettings = c.settings;
        config.reset();
        const INT_PTR result = run([&](HWND dialog) {
            EXPECT_EQ(selected(dialog), c.selection);
            pressOk(dialog);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(launcherSettings, c.saved);
        EXPECT_EQ(config.saved(), std::optional<LauncherSettings>(c.saved));
    }
}

TEST_F(OptionsDialog, OkStoresTheEntryThePlayerChose)
{
    launcherSettings = {1024, 768, 32, 0};
    const INT_PTR result = run([](HWND dialog) {
        (void)SendMessageA(resolutions(dialog), CB_SETCURSEL, 3, 0); // "1280 x 960 x 32"
        pressOk(dialog);
    });
    EXPECT_EQ(result, IDOK);
    const LauncherSettings expected{1280, 960, 32, 0};
    EXPECT_EQ(config.saved(), std::optional<LauncherSettings>(expected));
}

TEST_F(OptionsDialog, BloomBoxShowsTheSettingAndOkKeepsIt)
{
    for (int bloom : {0, 1, 5, -1}) {
        SCOPED_TRACE(bloom);
        launcherSettings = {1280, 800, 32, bloom};
        config.reset();
        run([&](HWND dialog) {
            EXPECT_EQ(bloomChecked(dialog), bloom != 0);
            pressOk(dialog);
        });
        ASSERT_TRUE(config.saved());
        EXPECT_EQ(config.saved()->bloom, bloom);
    }
}

TEST_F(OptionsDialog, BloomClickTakesEffectAtOnceAndCancelKeepsIt)
{
    launcherSettings = {1280, 800, 32, 0};
    INT_PTR result = run([](HWND dialog) {
        clickBloom(dialog);
        EXPECT_TRUE(bloomChecked(dialog));
        EXPECT_EQ(launcherSettings.bloom, 1);
        (void)sendToDialog(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(launcherSettings.bloom, 1);
    EXPECT_FALSE(config.saved());

    result = run([](HWND dialog) {
        EXPECT_TRUE(bloomChecked(dialog));
        pressOk(dialog);
    });
    EXPECT_EQ(result, IDOK);
    const LauncherSettings expected{1280, 800, 32, 1};
    EXPECT_EQ(config.saved(), std::optional<LauncherSettings>(expected));
}

TEST_F(OptionsDialog, BloomClickedOffWritesZero)
{
    launcherSettings = {1280, 800, 32, 5};
    run([](HWND dialog) {
        clickBloom(dialog);
        EXPECT_EQ(launcherSettings.bloom, 0);
        clickBloom(dialog);
        EXPECT_EQ(launcherSettings.bloom, 1);
        clickBloom(dialog);
        pressOk(dialog);
    });
    ASSERT_TRUE(config.saved());
    EXPECT_EQ(config.saved()->bloom, 0);
}

TEST_F(OptionsDialog, CloseRequestEndsItWithoutWriting)
{
    launcherSettings = {800, 600, 32, 0};
    INT_PTR handled = 0;
    const INT_PTR result = run([&](HWND dialog) {
        (void)SendMessageA(resolutions(dialog), CB_SETCURSEL, 2, 0);
        handled = sendToDialog(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(result, kCloseRequestResult);
    EXPECT_NE(handled, 0);
    EXPECT_EQ(launcherSettings, (LauncherSettings{800, 600, 32, 0}));
    EXPECT_FALSE(config.saved());
}

TEST_F(OptionsDialog, EnterIsOkAndEscIsCancel)
{
    launcherSettings = {1280, 960, 32, 0};
    EXPECT_EQ(run([](HWND) { pressKey(VK_ESCAPE); }), IDCANCEL);
    EXPECT_FALSE(config.saved());

    EXPECT_EQ(run([](HWND) { pressKey(VK_RETURN); }), IDOK);
    const LauncherSettings expected{1280, 960, 32, 0};
    EXPECT_EQ(config.saved(), std::optional<LauncherSettings>(expected));
}

TEST_F(OptionsDialog, OkWithNoEntrySelectedKeepsTheScreenButSavesBloom)
{
    const struct {
        const char* what;
        DisplayModeList modes;
        std::function<void(HWND)> act;
    } cases[] = {
        {"an empty list", {}, [](HWND) {}},
        {"typing cleared the selection", kFourModes,
         [](HWND dialog) {
             const HWND edit = GetWindow(resolutions(dialog), GW_CHILD);
             for (char c : std::string("1600 x")) {
                 (void)SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
             }
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        displayModeList = c.modes;
        launcherSettings = {1280, 800, 32, 0};
        config.reset();
        const INT_PTR result = run([&](HWND dialog) {
            c.act(dialog);
            EXPECT_EQ(selected(dialog), (Entry{"", CB_ERR}));
            clickBloom(dialog);
            pressOk(dialog);
        });
        EXPECT_EQ(result, IDOK);
        const LauncherSettings expected{1280, 800, 32, 1};
        EXPECT_EQ(launcherSettings, expected);
        EXPECT_EQ(config.saved(), std::optional<LauncherSettings>(expected));
    }
}

TEST_F(OptionsDialog, OtherCommandsLeaveItOpen)
{
    const WPARAM commands[] = {
        IDC_MOTIONBLUR,
        IDC_LENSFLARE,
        IDC_SMOKE,
        MAKEWPARAM(IDC_RESOLUTION, CBN_SELCHANGE),
        MAKEWPARAM(IDC_RESOLUTION, CBN_EDITCHANGE),
        static_cast<WORD>(IDC_STATIC),
        IDC_CLOSE,
        4242,
    };
    for (WPARAM command : commands) {
        SCOPED_TRACE(testing::Message() << std::hex << command);
        INT_PTR handled = 0;
        EXPECT_EQ(run([&](HWND dialog) { handled = sendToDialog(dialog, WM_COMMAND, command, 0); }), kStillOpen);
        EXPECT_NE(handled, 0);
    }
    EXPECT_FALSE(config.saved());
}

TEST_F(OptionsDialog, OnlyTheControlIdDecides)
{
    EXPECT_EQ(run([](HWND dialog) { (void)sendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x1234), 0); }),
              IDCANCEL);
    EXPECT_EQ(run([](HWND dialog) { (void)sendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED), 0); }),
              IDOK);
    EXPECT_TRUE(config.saved());
}

TEST_F(OptionsDialog, LeavesOtherMessagesToTheDialogManager)
{
    const UINT messages[] = {WM_TIMER, WM_SIZE, WM_MOUSEMOVE, WM_USER, WM_APP, WM_NULL, WM_KEYDOWN, WM_DROPFILES};
    for (UINT message : messages) {
        SCOPED_TRACE(message);
        INT_PTR handled = -1;
        EXPECT_EQ(run([&](HWND dialog) { handled = sendToDialog(dialog, message, 0, 0); }), kStillOpen);
        EXPECT_EQ(handled, 0);
    }
}

TEST_F(OptionsDialog, OpensCentredOverItsDisabledOwner)
{
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    run(
        [&](HWND dialog) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
            EXPECT_FALSE(IsWindowEnabled(owner));

            char title[64] = {};
            GetWindowTextA(dialog, title, sizeof title);
            EXPECT_STREQ(title, "Options");
            RECT frame{};
            GetWindowRect(dialog, &frame);
            const int width = frame.right - frame.left;
            const int height = frame.bottom - frame.top;
            EXPECT_GT(width, 186); // dialog units grew into pixels
            EXPECT_EQ(frame.left, centredOrigin(GetSystemMetrics(SM_CXSCREEN), width));
            EXPECT_EQ(frame.top, centredOrigin(GetSystemMetrics(SM_CYSCREEN), height));

            for (int id : {IDC_MOTIONBLUR, IDC_LENSFLARE, IDC_SMOKE}) {
                EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, id))) << id;
            }
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_BLOOM)));
        },
        owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}
