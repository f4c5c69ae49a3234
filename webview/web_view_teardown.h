#pragma once

#include "webview/web_view_host.h"

// Ends the web view once the launcher dialog has gone: closes the control without saving,
// takes the client site back from it, releases it, then releases the host's last reference.
// What was never created is skipped; host is null afterwards. OLE must still be initialised.
void tearDownWebView(WebViewHost*& host);
