#include "settings/display_modes.h"

#include <windows.h>

#include <d3d9.h>

#include <new>

#include "settings/display_mode_filter.h"
#include "shared/system_library.h"

DisplayModeList displayModeList;

namespace {

using Direct3DCreate9Function = IDirect3D9*(WINAPI*)(UINT sdkVersion);

// The first format the adapter supports full-screen; A8R8G8B8 when it claims neither.
D3DFORMAT chooseFormat(IDirect3D9& direct3d)
{
    for (const D3DFORMAT candidate : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
        if (SUCCEEDED(direct3d.CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, candidate, candidate, FALSE))) {
            return candidate;
        }
    }
    return D3DFMT_A8R8G8B8;
}

} // namespace

void enumerateDisplayModesAndRelease(IDirect3D9* direct3d)
{
    displayModeList.clear();
    if (!direct3d) {
        return;
    }
    const D3DFORMAT format = chooseFormat(*direct3d);
    const UINT count = direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
    try {
        for (UINT index = 0; index < count; ++index) {
            D3DDISPLAYMODE mode{};
            // A mode the adapter cannot describe is left out; the others still count.
            if (SUCCEEDED(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, format, index, &mode))) {
                addAdapterMode(displayModeList, mode.Width, mode.Height);
            }
        }
    } catch (const std::bad_alloc&) {
        // A list cut short for lack of memory is dropped whole: the launcher goes on as after a
        // failing mode query.
        displayModeList.clear();
    }
    (void)direct3d->Release();
}

void enumerateDisplayModes()
{
    // From the system folder: a d3d9.dll that a graphics mod dropped into the game folder is the
    // game's, and would otherwise come first in the search order.
    const HMODULE library = loadSystemLibrary("d3d9.dll");
    IDirect3D9* direct3d = nullptr;
    if (library) {
        const auto create = exportedFunction<Direct3DCreate9Function>(library, "Direct3DCreate9");
        if (create) {
            direct3d = create(D3D_SDK_VERSION);
        }
    }
    enumerateDisplayModesAndRelease(direct3d);
    if (library) {
        (void)FreeLibrary(library);
    }
}
