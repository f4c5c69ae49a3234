#pragma once

#include <cstdint>
#include <vector>

// One full-screen mode that the Options dialog offers. The fields have the types of the
// screen settings they are compared with and copied into.
struct DisplayMode {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t bitsPerPixel = 0;
};

constexpr bool operator==(const DisplayMode& a, const DisplayMode& b)
{
    return a.height == b.height && a.width == b.width && a.bitsPerPixel == b.bitsPerPixel;
}

// Modes in the order the adapter reports them. A record's position is its identity for the
// Options dialog; no record equals the one right before it.
using DisplayModeList = std::vector<DisplayMode>;

// Filled once at start-up, read-only afterwards.
extern DisplayModeList displayModeList;

// Refills displayModeList from the default adapter, through the system's Direct3D 9. A machine
// without Direct3D 9, or without the memory for the list, gets an empty list.
void enumerateDisplayModes();

#ifdef _WIN32
struct IDirect3D9;

// Refills displayModeList from that Direct3D object, then releases the reference that the caller
// handed over with it. No object, or no memory for the list, gives an empty list.
void enumerateDisplayModesAndRelease(IDirect3D9* direct3d);
#endif
