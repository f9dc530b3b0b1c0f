#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace dovrel {

// Owners of the GDI and USER objects the window creates; each is released
// exactly once, on every path.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct ScreenDcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
using UniqueScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser>;

} // namespace dovrel
