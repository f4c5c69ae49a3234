#pragma once

// A stand-in for the web-browser control: an OLE object that notes what is done to it and
// offers no IWebBrowser2, as a control of another kind would.
#include <windows.h>

#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class StandInControl final : public IOleObject, public IPersistStorage {
public:
    // Notable calls go to log by name, releases as "Release -> count".
    explicit StandInControl(std::vector<std::string>& log) : log_(log) {}

    // When set, what it returns is appended to every entry of the log.
    std::function<std::string()> note;

    // What a control whose page was still loading at the teardown does when the load ends: it
    // calls the frame and the storage it was given, which SetClientSite(null) did not take back.
    // Logs "frame GetWindow" and "storage Commit" with their results.
    void endLoad();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return write("SetHostNames"); }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override
    {
        *status = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IPersistStorage, which OleCreate needs
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override
    {
        storage_ = storage;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(IStorage*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(IStorage*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return E_NOTIMPL; }

private:
    HRESULT write(const std::string& entry)
    {
        log_.push_back(note ? entry + note() : entry);
        return S_OK;
    }

    std::vector<std::string>& log_;
    long references_ = 1;
    IStorage* storage_ = nullptr;
    IOleInPlaceFrame* frame_ = nullptr;
};

// While it exists, OleCreate of CLSID_WebBrowser on this thread makes a StandInControl, or
// fails as on a system without the control. Needs COM initialised for its whole life.
class StandInBrowserClass final : public IClassFactory {
public:
    enum class Gives { StandIn, Nothing };

    StandInBrowserClass(std::vector<std::string>& log, Gives gives);
    ~StandInBrowserClass();
    StandInBrowserClass(const StandInBrowserClass&) = delete;
    StandInBrowserClass& operator=(const StandInBrowserClass&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    // The control made last; null before the first.
    StandInControl* control() const { return control_.get(); }

private:
    std::vector<std::string>& log_;
    Gives gives_;
    DWORD cookie_ = 0;
    std::unique_ptr<StandInControl> control_;
};
