#pragma once

#include <windows.h>

#include "ui/win32/gdi_handles.h"

namespace dovrel {

// The donation button decoded from the GIF compiled into the program, as a
// bitmap of its natural size that the caller owns. Needs OLE initialised on
// this thread. Raises PlatformError when the system cannot decode it.
UniqueBitmap LoadDonatePicture();

// Draws `picture` at its natural size at the top left of `image`, the rest of
// the box in the background its parent gives statics.
void PaintPicture(HWND image, HDC dc, HBITMAP picture);

} // namespace dovrel
