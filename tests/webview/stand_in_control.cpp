#include "stand_in_control.h"

#include <exdisp.h>

namespace {

std::string named(HRESULT result)
{
    switch (result) {
    case S_OK:
        return "S_OK";
    case E_NOTIMPL:
        return "E_NOTIMPL";
    case E_POINTER:
        return "E_POINTER";
    default:
        return std::to_string(static_cast<unsigned long>(result));
    }
}

} // namespace

HRESULT StandInControl::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
        *object = static_cast<IOleObject*>(this);
    } else if (iid == IID_IPersistStorage || iid == IID_IPersist) {
        *object = static_cast<IPersistStorage*>(this);
    } else {
        if (iid == IID_IWebBrowser2) {
            write("QueryInterface(IWebBrowser2)");
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG StandInControl::Release()
{
    --references_;
    write("Release -> " + std::to_string(references_));
    return static_cast<ULONG>(references_);
}

HRESULT StandInControl::SetClientSite(IOleClientSite* site)
{
    return write(site ? "SetClientSite" : "SetClientSite(null)");
}

HRESULT StandInControl::DoVerb(LONG, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT)
{
    // Activating in place, a control asks its site for the frame it will talk to.
    IOleInPlaceSite* inPlace = nullptr;
    if (site && SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
        IOleInPlaceUIWindow* document = nullptr;
        RECT position{};
        RECT clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        (void)inPlace->GetWindowContext(&frame_, &document, &position, &clip, &info);
        inPlace->Release();
    }
    return write("DoVerb");
}

void StandInControl::endLoad()
{
    HWND window = nullptr;
    write("frame GetWindow " + named(frame_ ? frame_->GetWindow(&window) : E_POINTER));
    write("storage Commit " + named(storage_ ? storage_->Commit(STGC_DEFAULT) : E_POINTER));
}

HRESULT StandInControl::Close(DWORD saveOption)
{
    return write(saveOption == OLECLOSE_NOSAVE ? "Close(OLECLOSE_NOSAVE)"
                                               : "Close(" + std::to_string(saveOption) + ")");
}

StandInBrowserClass::StandInBrowserClass(std::vector<std::string>& log, Gives gives) : log_(log), gives_(gives)
{
    (void)CoRegisterClassObject(CLSID_WebBrowser, static_cast<IClassFactory*>(this), CLSCTX_INPROC_SERVER,
                                REGCLS_MULTIPLEUSE, &cookie_);
}

StandInBrowserClass::~StandInBrowserClass()
{
    (void)CoRevokeClassObject(cookie_);
}

HRESULT StandInBrowserClass::QueryInterface(REFIID iid, void** object)
{
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
}

HRESULT StandInBrowserClass::CreateInstance(IUnknown*, REFIID iid, void** object)
{
    *object = nullptr;
    if (gives_ == Gives::Nothing) {
        return REGDB_E_CLASSNOTREG;
    }
    control_ = std::make_unique<StandInControl>(log_);
    // The caller's reference takes the place of the one the control starts with.
    const HRESULT result = control_->QueryInterface(iid, object);
    control_->Release();
    return result;
}
