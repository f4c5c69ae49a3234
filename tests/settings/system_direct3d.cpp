#include "system_direct3d.h"

#include <sstream>

#include "shared/system_library.h"

namespace {

using Create = IDirect3D9*(WINAPI*)(UINT);

} // namespace

SystemDirect3D::SystemDirect3D() : library_(loadSystemLibrary("d3d9.dll"))
{
    const auto create = library_ ? exportedFunction<Create>(library_, "Direct3DCreate9") : nullptr;
    object_ = create ? create(D3D_SDK_VERSION) : nullptr;
}

SystemDirect3D::~SystemDirect3D()
{
    if (object_) {
        object_->Release();
    }
    if (library_) {
        FreeLibrary(library_);
    }
}

std::string describeAdapterModes(IDirect3D9& direct3d)
{
    std::ostringstream text;
    const struct {
        D3DFORMAT format;
        const char* name;
    } candidates[] = {{D3DFMT_A8R8G8B8, "A8R8G8B8"}, {D3DFMT_X8R8G8B8, "X8R8G8B8"}};
    for (const auto& candidate : candidates) {
        const HRESULT check = direct3d.CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, candidate.format,
                                                       candidate.format, FALSE);
        const UINT count = direct3d.GetAdapterModeCount(D3DADAPTER_DEFAULT, candidate.format);
        text << candidate.name << ": CheckDeviceType 0x" << std::hex << static_cast<unsigned long>(check) << std::dec
             << ", " << count << " modes";
        for (UINT index = 0; index < count; ++index) {
            D3DDISPLAYMODE mode{};
            if (SUCCEEDED(direct3d.EnumAdapterModes(D3DADAPTER_DEFAULT, candidate.format, index, &mode))) {
                text << (index ? ", " : ": ") << mode.Width << " x " << mode.Height << " @ " << mode.RefreshRate;
            }
        }
        text << "\n";
    }
    return text.str();
}

bool adapterReports(IDirect3D9& direct3d, D3DFORMAT format, UINT width, UINT height)
{
    const UINT count = direct3d.GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
    for (UINT index = 0; index < count; ++index) {
        D3DDISPLAYMODE mode{};
        if (SUCCEEDED(direct3d.EnumAdapterModes(D3DADAPTER_DEFAULT, format, index, &mode)) && mode.Width == width &&
            mode.Height == height) {
            return true;
        }
    }
    return false;
}
