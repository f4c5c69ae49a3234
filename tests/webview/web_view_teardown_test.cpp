// The end of the web view after the launcher window has gone: what is closed and released, in
// which order, and that OLE outlives all of it.
#include "webview/web_view_teardown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_watch.h"
#include "app/launcher_app.h"
#include "resources/resource.h"
#include "stand_in_control.h"

namespace {

// Whether OLE is initialised on this thread; the thread is left as it was.
bool oleInitialised()
{
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

std::string oleState()
{
    return oleInitialised() ? ", OLE up" : ", OLE down";
}

std::vector<std::string> events;
// Takes the place of the real control in the launcher; it lives as long as the test program.
StandInControl recorder(events);

BOOL CALLBACK findLauncher(HWND window, LPARAM found)
{
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::string(title) == "Vorthal") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs in the launcher dialog's modal loop. Once the window is up, hands the launcher the
// recorder in place of the real control, which it closes itself, and presses CLOSE.
void CALLBACK whileLauncherOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND launcher = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findLauncher, reinterpret_cast<LPARAM>(&launcher));
    if (!launcher) {
        return;
    }
    KillTimer(nullptr, timer);
    if (webViewHost && webViewHost->browser) {
        webViewHost->browser->Close(OLECLOSE_NOSAVE);
        webViewHost->browser->Release();
        webViewHost->browser = &recorder;
        whenFreed(webViewHost, [] { events.push_back("host freed" + oleState()); });
    } else {
        ADD_FAILURE() << "the launcher embedded no control";
    }
    PostMessageA(launcher, WM_COMMAND, IDC_CLOSE, 0);
}

} // namespace

TEST(WebViewTeardown, LauncherClosesTheControlThenReleasesItThenTheHostThenOle)
{
    events.clear();
    recorder.note = oleState;
    (void)SetTimer(nullptr, 0, 20, whileLauncherOpen);

    LauncherApp().run(GetModuleHandleA(nullptr), SW_SHOWNORMAL);

    const std::vector<std::string> expected = {"Close(OLECLOSE_NOSAVE), OLE up", "SetClientSite(null), OLE up",
                                               "Release -> 0, OLE up", "host freed, OLE up"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(webViewHost, nullptr);
    EXPECT_FALSE(oleInitialised());
}

TEST(WebViewTeardown, SkipsWhatWasNeverCreated)
{
    WebViewHost* none = nullptr;
    tearDownWebView(none);
    EXPECT_EQ(none, nullptr);

    WebViewHost* withoutControl = WebViewHost::create();
    ASSERT_NE(withoutControl, nullptr);
    whenFreed(withoutControl, nullptr);
    tearDownWebView(withoutControl);
    EXPECT_TRUE(watchedFreed());
    EXPECT_EQ(withoutControl, nullptr);
}
