#include "webview/web_view_host.h"

#include <new>

WebViewHost* webViewHost = nullptr;

WebViewHost* WebViewHost::create()
{
    return new (std::nothrow) WebViewHost;
}

HRESULT HostClientSite::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
        return S_OK;
    }
    if (iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostClientSite::GetContainer(IOleContainer** container)
{
    *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostClientSite::GetWindow(HWND* window)
{
    *window = host->window;
    return S_OK;
}

HRESULT HostClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                         LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    *frame = static_cast<IOleInPlaceFrame*>(&host->frame);
    *document = nullptr;
    (void)GetClientRect(host->window, position);
    (void)GetClientRect(host->window, clip);
    // cb is the caller's: it says which version of the structure it passed.
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = host->window;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT HostFrame::GetWindow(HWND* window)
{
    *window = host->window;
    return S_OK;
}
