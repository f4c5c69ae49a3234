#include "webview/web_view_teardown.h"

void tearDownWebView(WebViewHost*& host)
{
    if (!host) {
        return;
    }
    if (host->browser) {
        (void)host->browser->Close(OLECLOSE_NOSAVE);
        // A control still loading a page holds references of its own and outlives this
        // release; through Close it keeps the client site, which goes with the host.
        (void)host->browser->SetClientSite(nullptr);
        host->browser->Release();
        host->browser = nullptr;
    }
    host->Release();
    host = nullptr;
}
