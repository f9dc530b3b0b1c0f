#pragma once

#include <windows.h>

#include <cstddef>

namespace dovrel {

// A packed device-independent bitmap: header, colour table, pixels.
struct PackedBitmap {
    const unsigned char* bytes;
    std::size_t size;
};

// The donation button compiled into the program.
PackedBitmap DonatePicture();

// Fills `box` with `background` and draws `picture` at its natural size at the
// box's top left. A bitmap that is not one GDI can draw as it is leaves the
// box empty: the picture is not worth ending the program for.
void PaintPicture(HDC dc, const RECT& box, HBRUSH background, const PackedBitmap& picture);

} // namespace dovrel
