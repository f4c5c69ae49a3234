// The end of the web view after the launcher window has gone: what is closed and released, in
// which order, and that OLE outlives all of it.
#include "webview/web_view_teardown.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "allocation_watch.h"
#include "app/launcher_app.h"
#include "resources/resource.h"
#include "shared/portal_address.h"
#include "stand_in_control.h"
#include "support/launcher_process.h"

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
// Takes the place of the real control in the launcher, one for each run.
std::optional<StandInControl> recorder;
// The launcher's host, with a reference of the test's own beside the launcher's.
WebViewHost* host = nullptr;

// How many references the host holds besides the test's: whether the launcher still holds it.
std::string hostState()
{
    host->AddRef();
    return host->Release() > 1 ? ", host held" : ", host let go";
}

// Notes among the control's events the OleUninitialize that ends OLE on this thread, the
// launcher's, with whether the launcher still held the host then. OleUninitialize ends in
// CoUninitialize, which tells the spy first; the control's own balanced pairs end nothing.
class UninitializeSpy final : public IInitializeSpy {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IInitializeSpy ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IInitializeSpy
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD initialisations) override
    {
        if (host && initialisations == 1) {
            events.push_back("OleUninitialize" + hostState());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

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

// How the launcher dialog ends once it is up: with CLOSE, or with the -1 of a dialog that
// failed after its initialisation.
bool endWithFailure = false;

// Runs in the launcher dialog's modal loop. Once the window is up, hands the launcher the
// recorder in place of the real control, which it closes itself, and ends the dialog.
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
        webViewHost->browser = &*recorder;
        host = webViewHost;
        host->AddRef();
        whenFreed(host, nullptr);
    } else {
        ADD_FAILURE() << "the launcher embedded no control";
    }
    if (endWithFailure) {
        EndDialog(launcher, -1);
    } else {
        PostMessageA(launcher, WM_COMMAND, IDC_CLOSE, 0);
    }
}

} // namespace

// Whatever the dialog returned, what its initialisation set up is undone in order. The host's
// memory outlives the teardown and OLE, for a control that may still call it.
TEST(WebViewTeardown, LauncherClosesTheControlThenReleasesItThenTheHostThenOle)
{
    UninitializeSpy spy;
    ULARGE_INTEGER spyCookie{};
    ASSERT_EQ(CoRegisterInitializeSpy(&spy, &spyCookie), S_OK);
    for (bool failure : {false, true}) {
        SCOPED_TRACE(failure ? "dialog ended with -1" : "CLOSE");
        events.clear();
        host = nullptr;
        endWithFailure = failure;
        recorder.emplace(events);
        recorder->note = [] { return oleState() + hostState(); };
        (void)SetTimer(nullptr, 0, 20, whileLauncherOpen);
        clearBrowserLog();

        LauncherApp().run(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
        // Either way the launcher ends by opening the statistics page.
        EXPECT_EQ(waitForBrowserLog(), std::string(kStatsPageAddress) + "\n") << runningInWorld("winebrowser.exe");

        const std::vector<std::string> expected = {"Close(OLECLOSE_NOSAVE), OLE up, host held",
                                                   "SetClientSite(null), OLE up, host held",
                                                   "Release -> 0, OLE up, host held", "OleUninitialize, host let go"};
        EXPECT_EQ(events, expected);
        EXPECT_EQ(webViewHost, nullptr);
        EXPECT_FALSE(oleInitialised());
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(host->Release(), 0) << "the launcher kept its reference";
        EXPECT_FALSE(watchedFreed());
    }
    (void)CoRevokeInitializeSpy(spyCookie);
}

TEST(WebViewTeardown, SkipsWhatWasNeverCreated)
{
    WebViewHost* none = nullptr;
    tearDownWebView(none);
    EXPECT_EQ(none, nullptr);

    WebViewHost* withoutControl = WebViewHost::create();
    ASSERT_NE(withoutControl, nullptr);
    WebViewHost* held = withoutControl;
    held->AddRef();
    tearDownWebView(withoutControl);
    EXPECT_EQ(withoutControl, nullptr);
    EXPECT_EQ(held->Release(), 0);
}
