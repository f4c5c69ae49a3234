#include "settings/display_modes.h"

#include <windows.h>

#include <d3d9.h>

#include <cstring>
#include <new>

#include "settings/display_mode_filter.h"

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

// Loaded by its full path in the system folder: a d3d9.dll that a graphics mod dropped into
// the game folder would otherwise come first in the search order.
HMODULE loadSystemDirect3D()
{
    // On the stack: a start-up short of memory still gets as far as asking for the modes.
    static constexpr char kLeaf[] = "\\d3d9.dll";
    char path[MAX_PATH + sizeof kLeaf] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    std::memcpy(path + length, kLeaf, sizeof kLeaf);
    return LoadLibraryA(path);
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
    const HMODULE library = loadSystemDirect3D();
    IDirect3D9* direct3d = nullptr;
    if (library) {
        // Through a plain function pointer first: casting FARPROC straight to another function
        // type draws -Wcast-function-type.
        const auto create = reinterpret_cast<Direct3DCreate9Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "Direct3DCreate9")));
        if (create) {
            direct3d = create(D3D_SDK_VERSION);
        }
    }
    enumerateDisplayModesAndRelease(direct3d);
    if (library) {
        (void)FreeLibrary(library);
    }
}
