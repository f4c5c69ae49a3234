#include "webview/web_view_host.h"

#include <exdisp.h>

#include <cstring>
#include <memory>
#include <new>

#include "shared/portal_address.h"

namespace {

// The start page address as the control takes it, or null without the memory for it. The wide
// copy lives only until the BSTR is made from it; it is allocated without throwing, as no
// exception may leave the dialog procedure that embeds the control.
BSTR startPageAddress()
{
    const std::size_t length = std::strlen(kStartPageAddress);
    const std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[length + 1]());
    if (!wide) {
        return nullptr;
    }
    (void)MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, kStartPageAddress, -1, wide.get(), static_cast<int>(length + 1));
    return SysAllocString(wide.get());
}

} // namespace

void WebViewHost::embedBrowser(HWND placeholder)
{
    window = placeholder;
    (void)OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr, static_cast<IOleClientSite*>(&site),
                    &storage, reinterpret_cast<void**>(&browser));
    // No control (the system lacks it or cannot load it): the placeholder stays as it is.
    if (!browser) {
        return;
    }
    (void)browser->SetHostNames(L"Web Host", L"Web View");
    (void)OleSetContainedObject(browser, TRUE);

    RECT area{};
    (void)GetClientRect(window, &area);
    (void)browser->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(&site), -1, window, &area);

    IWebBrowser2* web = nullptr;
    (void)browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web));
    // A control that cannot be navigated stays shown, empty.
    if (!web) {
        return;
    }
    VARIANT address;
    VariantInit(&address);
    // Through the accessors: only some SDKs' headers make VARIANT's inner union nameless.
    V_VT(&address) = VT_BSTR;
    V_BSTR(&address) = startPageAddress();
    // Without memory for the address, too, the control stays shown, empty.
    if (!V_BSTR(&address)) {
        (void)web->Release();
        return;
    }
    VARIANT none[4];
    for (VARIANT& unused : none) {
        VariantInit(&unused);
    }

    (void)web->put_Left(0);
    (void)web->put_Top(0);
    (void)web->put_Width(area.right);
    (void)web->put_Height(area.bottom);
    // Otherwise every script error on the page opens a message box of the control's own over the
    // launcher, which reports nothing to the player.
    (void)web->put_Silent(VARIANT_TRUE);
    (void)web->Navigate2(&address, &none[0], &none[1], &none[2], &none[3]);

    (void)VariantClear(&address);
    (void)web->Release();
}
