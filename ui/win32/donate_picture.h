#pragma once

#include <windows.h>

#include <cstddef>

namespace dovrel {

// A packed device-independent bitmap (header, colour table, pixels) that GDI
// draws as it is, with its size and where its pixels begin.
struct PackedBitmap {
    const unsigned char* bytes;
    int width;
    int height;
    std::size_t pixelOffset;
};

// The donation button compiled into the program; the build made sure that GDI
// can draw it.
PackedBitmap DonatePicture();

// Fills `box` with `background` and draws `picture` at its natural size at the
// box's top left.
void PaintPicture(HDC dc, const RECT& box, HBRUSH background, const PackedBitmap& picture);

} // namespace dovrel
