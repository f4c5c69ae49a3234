#pragma once

// The system's own Direct3D 9, asked directly, to see what the adapter itself reports.
#include <windows.h>

#include <d3d9.h>

#include <string>

class SystemDirect3D {
public:
    SystemDirect3D();
    ~SystemDirect3D();
    SystemDirect3D(const SystemDirect3D&) = delete;
    SystemDirect3D& operator=(const SystemDirect3D&) = delete;

    // Null when the system has no Direct3D 9 or it gave no object.
    IDirect3D9* get() const { return object_; }

private:
    HMODULE library_ = nullptr;
    IDirect3D9* object_ = nullptr;
};

// For each 32-bit candidate format: whether it works full-screen, and the modes of the
// default adapter in it, one "width x height @ rate" each.
std::string describeAdapterModes(IDirect3D9& direct3d);

// Whether the adapter reports a mode of that size in that format.
bool adapterReports(IDirect3D9& direct3d, D3DFORMAT format, UINT width, UINT height);
