// The embedding in the launcher window, with Wine's real web-browser control and with stand-ins
// for a control that is missing or cannot be navigated.
#include "webview/web_view_host.h"

#include <exdisp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "allocation_watch.h"
#include "app/launcher_dialog.h"
#include "resources/resource.h"
#include "shared/portal_address.h"
#include "stand_in_control.h"
#include "support/modal_dialog.h"
#include "webview/web_view_teardown.h"

// Exported by oleaut32 but not declared by the MinGW headers: from now on every BSTR is
// allocated and freed as COM task memory, where a malloc spy sees it.
extern "C" void SetOaNoCache();

namespace {

std::wstring widened(const char* text)
{
    return std::wstring(text, text + std::strlen(text));
}

HWND controlWindowIn(HWND placeholder)
{
    return GetWindow(placeholder, GW_CHILD);
}

// Runs this thread's messages, as a modal loop would, until done() or timeoutMs.
bool pumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
    return true;
}

long referencesOf(IUnknown* object)
{
    object->AddRef();
    return static_cast<long>(object->Release());
}

RECT windowRect(HWND window)
{
    RECT rect{-1, -1, -1, -1};
    GetWindowRect(window, &rect);
    return rect;
}

SIZE clientSize(HWND window)
{
    RECT rect{-1, -1, -1, -1};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

// The launcher dialog run as the launcher runs it, torn down afterwards as the launcher does.
INT_PTR runLauncherDialog(
    const std::function<void(HWND)>& whileOpen, const std::function<void()>& afterwards = [] {})
{
    const INT_PTR result = runModal(IDD_LAUNCHER, LauncherDlgProc, whileOpen);
    afterwards();
    undoLauncherDialogSetUp();
    return result;
}

// A host embedded into a fresh child window of the dialog, of the given client size.
struct ExtraHost {
    ExtraHost(HWND dialog, int width, int height)
    {
        placeholder = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 5, 5, width, height,
                                      dialog, nullptr, nullptr, nullptr);
        host = WebViewHost::create();
    }
    ~ExtraHost()
    {
        tearDownWebView(host);
        DestroyWindow(placeholder);
    }
    HWND placeholder;
    WebViewHost* host;
};

// Follows COM task memory while recording, to see what becomes of the address BSTR.
class TaskMemorySpy final : public IMallocSpy {
public:
    struct Block {
        void* memory;
        SIZE_T size;
        int frees;
        bool heldAddress;
    };

    void record(const std::wstring& address)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        address_ = address;
        blocks_.clear();
        recording_ = true;
    }
    // The blocks allocated while recording, in order, each noted with whether it held the
    // address as a BSTR when it was freed or when recording stopped.
    std::vector<Block> stop()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        recording_ = false;
        for (Block& block : blocks_) {
            if (block.frees == 0) {
                block.heldAddress = holdsAddress(block);
            }
        }
        return blocks_;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IMallocSpy ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IMallocSpy
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return pendingSize_ = size; }
    void* STDMETHODCALLTYPE PostAlloc(void* memory) override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (recording_ && memory) {
            blocks_.push_back({memory, pendingSize_, 0, false});
        }
        return memory;
    }
    void* STDMETHODCALLTYPE PreFree(void* memory, BOOL) override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (Block* block = latest(memory)) {
            block->heldAddress = block->heldAddress || holdsAddress(*block);
            ++block->frees;
        }
        return memory;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* memory, SIZE_T size, void** request, BOOL) override
    {
        *request = memory;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* memory, BOOL) override { return memory; }
    // SysFreeString asks for the size first and gives up on a block that is already free;
    // such an ask counts as a second free.
    void* STDMETHODCALLTYPE PreGetSize(void* memory, BOOL) override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (Block* block = latest(memory); block && block->frees > 0) {
            ++block->frees;
        }
        return memory;
    }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* memory, BOOL) override { return memory; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int allocated) override { return allocated; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    // The block that now lives, or last lived, at memory, if it was allocated while recording.
    Block* latest(void* memory)
    {
        for (auto block = blocks_.rbegin(); recording_ && block != blocks_.rend(); ++block) {
            if (block->memory == memory) {
                return &*block;
            }
        }
        return nullptr;
    }

    // A BSTR block is a pointer-sized header, then the characters and a terminating zero. The
    // header ends with the length in bytes; a 64-bit system pads it in front.
    bool holdsAddress(const Block& block) const
    {
        constexpr SIZE_T kHeader = sizeof(void*);
        const SIZE_T bytes = address_.size() * sizeof(WCHAR);
        if (block.size < kHeader + bytes + sizeof(WCHAR)) {
            return false;
        }
        const auto* start = static_cast<const unsigned char*>(block.memory);
        DWORD length = 0;
        std::memcpy(&length, start + kHeader - sizeof(DWORD), sizeof length);
        return length == bytes && std::wmemcmp(reinterpret_cast<const WCHAR*>(start + kHeader), address_.c_str(),
                                               address_.size() + 1) == 0;
    }

    std::mutex mutex_;
    bool recording_ = false;
    std::wstring address_;
    std::vector<Block> blocks_;
    static thread_local SIZE_T pendingSize_;
};
thread_local SIZE_T TaskMemorySpy::pendingSize_ = 0;

// Registered once and never given up: the control keeps blocks allocated under it.
TaskMemorySpy taskMemorySpy;

} // namespace

TEST(EmbeddedBrowser, FillsThePlaceholderOfTheLauncherWindow)
{
    runLauncherDialog([](HWND dialog) {
        const HWND placeholder = GetDlgItem(dialog, IDC_WEBVIEW);
        const HWND control = controlWindowIn(placeholder);
        ASSERT_NE(control, nullptr);
        const RECT area = windowRect(placeholder);
        const SIZE size = clientSize(placeholder);
        EXPECT_GT(size.cx, 419); // dialog units grew into pixels
        for (int asked = 0; asked < 2; ++asked) {
            SCOPED_TRACE(asked ? "after the control asked to be moved" : "as embedded");
            const RECT frame = windowRect(control);
            EXPECT_TRUE(EqualRect(&frame, &area));
            EXPECT_EQ(clientSize(control).cx, size.cx);
            EXPECT_EQ(clientSize(control).cy, size.cy);
            const RECT elsewhere{0, 0, 50, 40};
            EXPECT_EQ(static_cast<IOleInPlaceSite*>(&webViewHost->site)->OnPosRectChange(&elsewhere), S_OK);
        }
    });
}

TEST(EmbeddedBrowser, SizesTheControlToItsWindowWithNoMinimum)
{
    const SIZE sizes[] = {{0, 0}, {1, 1}, {600, 300}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        runLauncherDialog([&](HWND dialog) {
            ExtraHost extra(dialog, size.cx, size.cy);
            ASSERT_NE(extra.host, nullptr);
            extra.host->embedBrowser(extra.placeholder);
            EXPECT_EQ(extra.host->window, extra.placeholder);
            const HWND control = controlWindowIn(extra.placeholder);
            ASSERT_NE(control, nullptr);
            const RECT frame = windowRect(control);
            EXPECT_EQ(frame.right - frame.left, size.cx);
            EXPECT_EQ(frame.bottom - frame.top, size.cy);
            EXPECT_EQ(clientSize(control).cx, size.cx);
            EXPECT_EQ(clientSize(control).cy, size.cy);
        });
    }
}

// While the control is in place, and while it loads a page, it holds references to itself;
// once the window is gone and the load has ended, all that is left is the host's.
TEST(EmbeddedBrowser, LeavesTheHostWithOneReferenceAndTheControlWithOne)
{
    runLauncherDialog([](HWND) {},
                      [] {
                          ASSERT_NE(webViewHost, nullptr);
                          ASSERT_NE(webViewHost->browser, nullptr);
                          EXPECT_EQ(webViewHost->AddRef(), 2);
                          EXPECT_EQ(webViewHost->Release(), 1);
                          IOleObject* control = webViewHost->browser;
                          EXPECT_TRUE(pumpMessagesUntil([&] { return referencesOf(control) == 1; }))
                              << referencesOf(control) << " references";
                      });
}

// A control lives on while a page loads, and when the load ends after the host's last release
// it may still call the storage and the frame it was given: the host's memory must outlast
// that. Were it freed, the watch would fill it with junk and such a call would crash.
TEST(EmbeddedBrowser, ControlLoadingPastTheTeardownStillReachesTheFrameAndStorageSafely)
{
    runLauncherDialog([](HWND dialog) {
        ExtraHost extra(dialog, 300, 200);
        ASSERT_NE(extra.host, nullptr);
        extra.host->embedBrowser(extra.placeholder);
        IOleObject* control = extra.host->browser;
        ASSERT_NE(control, nullptr);
        control->AddRef();
        whenFreed(extra.host, nullptr);
        tearDownWebView(extra.host);
        EXPECT_GT(referencesOf(control), 1) << "the page was no longer loading";
        EXPECT_TRUE(pumpMessagesUntil([&] { return referencesOf(control) == 1; }));
        EXPECT_FALSE(watchedFreed());
        control->Release();
    });

    // A control that, as its load ends, calls the frame and the storage it was given.
    (void)OleInitialize(nullptr);
    {
        std::vector<std::string> log;
        StandInBrowserClass standIn(log, StandInBrowserClass::Gives::StandIn);
        const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                            nullptr);
        WebViewHost* host = WebViewHost::create();
        ASSERT_NE(host, nullptr);
        host->embedBrowser(window);
        StandInControl* control = standIn.control();
        ASSERT_NE(control, nullptr);
        control->AddRef(); // the loading page's own
        whenFreed(host, nullptr);
        tearDownWebView(host);
        log.clear();
        control->endLoad();
        const std::vector<std::string> expected = {"frame GetWindow S_OK", "storage Commit E_NOTIMPL"};
        EXPECT_EQ(log, expected);
        EXPECT_FALSE(watchedFreed());
        control->Release();
        DestroyWindow(window);
    }
    OleUninitialize();
}

TEST(EmbeddedBrowser, NavigatesToTheAddressAsItStandsAndFreesItsBstrOnce)
{
    const std::wstring address = widened(kStartPageAddress);
    ASSERT_NE(address.find(L"/?mini=2&gameid=219"), std::wstring::npos);
    SetOaNoCache();
    runLauncherDialog([&](HWND dialog) {
        ExtraHost extra(dialog, 300, 200);
        ASSERT_NE(extra.host, nullptr);
        ASSERT_EQ(CoRegisterMallocSpy(&taskMemorySpy), S_OK);
        taskMemorySpy.record(address);
        extra.host->embedBrowser(extra.placeholder);
        const std::vector<TaskMemorySpy::Block> blocks = taskMemorySpy.stop();
        (void)CoRevokeMallocSpy(); // deferred until the control frees what it allocated

        // The first block to hold the address is the one the embedding made: the control can
        // copy the address only once it has been handed it.
        auto made = std::find_if(blocks.begin(), blocks.end(), [](const auto& block) { return block.heldAddress; });
        ASSERT_NE(made, blocks.end()) << "no BSTR held the address";
        EXPECT_EQ(made->frees, 1);

        ASSERT_NE(extra.host->browser, nullptr);
        IWebBrowser2* web = nullptr;
        ASSERT_EQ(extra.host->browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web)), S_OK);
        BSTR location = nullptr;
        EXPECT_EQ(web->get_LocationURL(&location), S_OK);
        EXPECT_EQ(std::wstring(location ? location : L""), address);
        SysFreeString(location);
        // Silent: a script error on the page opens no message box over the launcher.
        VARIANT_BOOL silent = VARIANT_FALSE;
        EXPECT_EQ(web->get_Silent(&silent), S_OK);
        EXPECT_EQ(silent, VARIANT_TRUE);
        web->Release();
    });
}

// Whatever part of the web view is missing, the window opens with its black placeholder and
// its buttons end it as ever; what was made is torn down, and nothing is called that is not
// there.
TEST(EmbeddedBrowser, MissingPartsLeaveThePlaceholderBlackAndTheButtonsWorking)
{
    enum class Missing { HostMemory, Control, WebBrowser2 };
    const struct {
        const char* name;
        Missing missing;
        bool host;
        std::vector<std::string> controlLog; // from SetHostNames on
    } cases[] = {
        {"no memory for the host", Missing::HostMemory, false, {}},
        {"no browser control", Missing::Control, true, {}},
        {"control without IWebBrowser2",
         Missing::WebBrowser2,
         true,
         {"SetHostNames", "DoVerb", "QueryInterface(IWebBrowser2)", "Close(OLECLOSE_NOSAVE)", "SetClientSite(null)",
          "Release -> 0"}},
    };
    for (const auto& c : cases) {
        for (int button : {IDC_PLAY, IDC_CLOSE}) {
            SCOPED_TRACE(testing::Message() << c.name << ", button " << button);
            std::vector<std::string> log;
            WebViewHost* host = nullptr;
            (void)OleInitialize(nullptr);
            {
                StandInBrowserClass standIn(log, c.missing == Missing::Control ? StandInBrowserClass::Gives::Nothing
                                                                               : StandInBrowserClass::Gives::StandIn);
                if (c.missing == Missing::HostMemory) {
                    failNextAllocationOf(sizeof(WebViewHost));
                }
                const INT_PTR result = runLauncherDialog([&](HWND dialog) {
                    EXPECT_EQ(webViewHost != nullptr, c.host);
                    // A reference of the test's own, to see the launcher give up its one.
                    host = webViewHost;
                    if (host) {
                        host->AddRef();
                    }
                    EXPECT_EQ(controlWindowIn(GetDlgItem(dialog, IDC_WEBVIEW)), nullptr);
                    sendToDialog(dialog, WM_COMMAND, button, 0);
                });
                EXPECT_EQ(result, button);
                EXPECT_EQ(webViewHost, nullptr);
                if (host) {
                    EXPECT_EQ(host->Release(), 0);
                }
            }
            OleUninitialize();
            const auto shown = std::find(log.begin(), log.end(), "SetHostNames");
            EXPECT_EQ(std::vector<std::string>(shown, log.end()), c.controlLog);
        }
    }
}
