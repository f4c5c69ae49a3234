#include "standin_direct3d.h"

#include <algorithm>

HRESULT StandinDirect3D::QueryInterface(REFIID, void** object)
{
    *object = nullptr;
    return E_NOINTERFACE;
}

UINT StandinDirect3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format)
{
    adaptersAsked.push_back(adapter);
    formatsEnumerated.push_back(format);
    return static_cast<UINT>(modes[format].size());
}

HRESULT StandinDirect3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT index, D3DDISPLAYMODE* mode)
{
    adaptersAsked.push_back(adapter);
    const std::vector<ReportedMode>& reported = modes[format];
    if (index >= reported.size() || reported[index].fails) {
        return D3DERR_INVALIDCALL;
    }
    *mode = D3DDISPLAYMODE{reported[index].width, reported[index].height, reported[index].refreshRate, format};
    return D3D_OK;
}

HRESULT StandinDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                         D3DFORMAT backBufferFormat, BOOL windowed)
{
    checks.push_back({adapter, deviceType, adapterFormat, backBufferFormat, windowed});
    const bool usable = std::find(fullScreenFormats.begin(), fullScreenFormats.end(), adapterFormat) !=
                        fullScreenFormats.end();
    return usable ? D3D_OK : D3DERR_NOTAVAILABLE;
}
