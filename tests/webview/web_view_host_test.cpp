// The container's answers to the control, interface by interface, and the host's count.
#include "webview/web_view_host.h"

#include <exdisp.h>
#include <mshtmhst.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_watch.h"
#include "stand_in_control.h"

namespace {

// A host whose window has a client area of 600 by 300 pixels.
class HostTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = WebViewHost::create();
        ASSERT_NE(host, nullptr);
        host->window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host->window, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(host->window);
        host->Release();
    }

    IOleClientSite* clientSite() const { return static_cast<IOleClientSite*>(&host->site); }
    IOleInPlaceSite* inPlaceSite() const { return static_cast<IOleInPlaceSite*>(&host->site); }

    WebViewHost* host = nullptr;
};

void* const kUntouched = reinterpret_cast<void*>(0x5EED);

} // namespace

TEST_F(HostTest, SiteAnswersTheSameThroughEitherInterface)
{
    const struct {
        const char* name;
        const IID& iid;
        bool inPlace; // which interface pointer comes back; none when the site does not offer it
        HRESULT result;
    } cases[] = {
        {"IUnknown", IID_IUnknown, false, S_OK},
        {"IOleClientSite", IID_IOleClientSite, false, S_OK},
        {"IOleInPlaceSite", IID_IOleInPlaceSite, true, S_OK},
        {"IDispatch", IID_IDispatch, false, E_NOINTERFACE},
        {"IDocHostUIHandler", IID_IDocHostUIHandler, false, E_NOINTERFACE},
        {"IOleInPlaceFrame", IID_IOleInPlaceFrame, false, E_NOINTERFACE},
        {"IWebBrowser2", IID_IWebBrowser2, false, E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        for (IUnknown* through : {static_cast<IUnknown*>(clientSite()), static_cast<IUnknown*>(inPlaceSite())}) {
            SCOPED_TRACE(testing::Message()
                         << c.name << (through == clientSite() ? " via client site" : " via in-place site"));
            void* answer = kUntouched;
            EXPECT_EQ(through->QueryInterface(c.iid, &answer), c.result);
            void* expected = nullptr;
            if (c.result == S_OK) {
                expected = c.inPlace ? static_cast<void*>(inPlaceSite()) : static_cast<void*>(clientSite());
            }
            EXPECT_EQ(answer, expected);
        }
    }
    EXPECT_NE(static_cast<void*>(clientSite()), static_cast<void*>(inPlaceSite()));
}

TEST_F(HostTest, StorageAndFrameDoNotImplementQueryInterface)
{
    const IID* iids[] = {&IID_IUnknown, &IID_IStorage, &IID_IOleInPlaceFrame, &IID_IOleWindow, &IID_IDispatch};
    for (const IID* iid : iids) {
        for (IUnknown* part : {static_cast<IUnknown*>(&host->storage), static_cast<IUnknown*>(&host->frame)}) {
            SCOPED_TRACE(testing::Message() << iid->Data1 << (part == &host->storage ? " on storage" : " on frame"));
            void* answer = kUntouched;
            EXPECT_EQ(part->QueryInterface(*iid, &answer), E_NOTIMPL);
            EXPECT_EQ(answer, kUntouched);
        }
    }
}

TEST_F(HostTest, PartsCountNoReferencesAndLeaveTheHostAlone)
{
    whenFreed(host, nullptr);
    for (IUnknown* part : {static_cast<IUnknown*>(&host->storage), static_cast<IUnknown*>(clientSite()),
                           static_cast<IUnknown*>(inPlaceSite()), static_cast<IUnknown*>(&host->frame)}) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(part->AddRef(), 1u);
        }
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(part->Release(), 1u);
        }
    }
    EXPECT_FALSE(watchedFreed());
    // The host's own count is still the one its creation gave.
    EXPECT_EQ(host->AddRef(), 2);
    EXPECT_EQ(host->Release(), 1);
}

// Embedding adds no reference, whatever the control does with the parts. The last release ends
// the host's use, not its memory: its parts go on answering a control that calls them late,
// until the process ends.
TEST(WebViewHost, ReleaseEndsItsUseWithTheLastReferenceAndKeepsItsParts)
{
    (void)OleInitialize(nullptr);
    {
        std::vector<std::string> log;
        StandInBrowserClass standIn(log, StandInBrowserClass::Gives::StandIn);
        const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 60, 30, nullptr, nullptr, nullptr,
                                            nullptr);
        for (int extraReferences : {0, 1, 3}) {
            SCOPED_TRACE(extraReferences);
            WebViewHost* host = WebViewHost::create();
            ASSERT_NE(host, nullptr);
            host->embedBrowser(window);
            ASSERT_NE(host->browser, nullptr);
            whenFreed(host, nullptr);
            for (int i = 0; i < extraReferences; ++i) {
                EXPECT_EQ(host->AddRef(), i + 2);
            }
            for (int left = extraReferences; left >= 0; --left) {
                EXPECT_EQ(host->Release(), left);
            }
            EXPECT_FALSE(watchedFreed());

            HWND fromFrame = nullptr;
            EXPECT_EQ(host->frame.GetWindow(&fromFrame), S_OK);
            EXPECT_EQ(fromFrame, window);
            EXPECT_EQ(host->storage.SetClass(CLSID_NULL), S_OK);
            void* site = nullptr;
            EXPECT_EQ(host->site.QueryInterface(IID_IOleInPlaceSite, &site), S_OK);
            EXPECT_EQ(site, static_cast<IOleInPlaceSite*>(&host->site));
        }
        DestroyWindow(window);
    }
    OleUninitialize();
}

TEST_F(HostTest, WindowContextIsThePlaceholdersClientAreaTwice)
{
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        IOleInPlaceFrame* frame = nullptr;
        auto* document = static_cast<IOleInPlaceUIWindow*>(kUntouched);
        RECT position{-1, -1, -1, -1};
        RECT clip{-1, -1, -1, -1};
        OLEINPLACEFRAMEINFO info{};
        info.cb = 0x5EED;
        info.fMDIApp = TRUE;
        info.haccel = reinterpret_cast<HACCEL>(kUntouched);
        info.cAccelEntries = 7;
        EXPECT_EQ(inPlaceSite()->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
        EXPECT_EQ(frame, static_cast<IOleInPlaceFrame*>(&host->frame));
        EXPECT_EQ(document, nullptr);
        for (const RECT& rect : {position, clip}) {
            EXPECT_EQ(rect.left, 0);
            EXPECT_EQ(rect.top, 0);
            EXPECT_EQ(rect.right, 600);
            EXPECT_EQ(rect.bottom, 300);
        }
        EXPECT_EQ(info.cb, 0x5EEDu);
        EXPECT_FALSE(info.fMDIApp);
        EXPECT_EQ(info.hwndFrame, host->window);
        EXPECT_EQ(info.haccel, nullptr);
        EXPECT_EQ(info.cAccelEntries, 0u);
    }
}

TEST_F(HostTest, SiteAndFrameNameTheHostsWindowAndNoContainer)
{
    HWND fromSite = nullptr;
    HWND fromFrame = nullptr;
    EXPECT_EQ(inPlaceSite()->GetWindow(&fromSite), S_OK);
    EXPECT_EQ(host->frame.GetWindow(&fromFrame), S_OK);
    EXPECT_EQ(fromSite, host->window);
    EXPECT_EQ(fromFrame, host->window);

    auto* container = static_cast<IOleContainer*>(kUntouched);
    EXPECT_EQ(clientSite()->GetContainer(&container), E_NOINTERFACE);
    EXPECT_EQ(container, nullptr);
}
