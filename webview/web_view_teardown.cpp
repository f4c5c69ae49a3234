#include "webview/web_view_teardown.h"

void tearDownWebView(WebViewHost*& host)
{
    if (!host) {
        return;
    }
    if (host->browser) {
        (void)host->browser->Close(OLECLOSE_NOSAVE);
        // A control still loading a page holds references of its own and outlives this
        // release. It keeps the client site through Close, so it is taken back here; the storage
        // and the frame it may still call, which is why the host keeps its memory.
        (void)host->browser->SetClientSite(nullptr);
        host->browser->Release();
        host->browser = nullptr;
    }
    host->Release();
    host = nullptr;
}
