#include "ui/win32/donate_picture.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "ui/win32/donate_picture_data.h"

namespace dovrel {

namespace {

struct DrawableBitmap {
    const BITMAPINFO* info;
    const unsigned char* pixels;
    DWORD width;
    DWORD height;
};

// The parts GDI needs, when the bytes hold a whole uncompressed bitmap.
std::optional<DrawableBitmap> Drawable(const PackedBitmap& picture) {
    BITMAPINFOHEADER header{};
    if (!picture.bytes || picture.size < sizeof(header))
        return std::nullopt;
    std::memcpy(&header, picture.bytes, sizeof(header));
    const unsigned bits = header.biBitCount;
    if (header.biSize < sizeof(header) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biPlanes != 1 || header.biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return std::nullopt;
    const std::size_t colours =
        bits <= 8 && header.biClrUsed == 0 ? std::size_t{1} << bits : header.biClrUsed;
    const auto width = static_cast<DWORD>(header.biWidth);
    const auto height = static_cast<DWORD>(std::abs(header.biHeight));
    const std::size_t stride = (std::size_t{width} * bits + 31) / 32 * 4;
    const std::size_t table = header.biSize + colours * sizeof(RGBQUAD);
    if (colours > 256 || table + stride * height > picture.size)
        return std::nullopt;
    return DrawableBitmap{reinterpret_cast<const BITMAPINFO*>(picture.bytes), picture.bytes + table,
                          width, height};
}

} // namespace

PackedBitmap DonatePicture() {
    return {kDonatePictureDib, kDonatePictureDibSize};
}

void PaintPicture(HDC dc, const RECT& box, HBRUSH background, const PackedBitmap& picture) {
    FillRect(dc, &box, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    const std::optional<DrawableBitmap> bitmap = Drawable(picture);
    if (!bitmap)
        return;
    SetDIBitsToDevice(dc, box.left, box.top, bitmap->width, bitmap->height, 0, 0, 0, bitmap->height,
                      bitmap->pixels, bitmap->info, DIB_RGB_COLORS);
}

} // namespace dovrel
