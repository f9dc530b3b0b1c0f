#include "ui/win32/donate_picture.h"

#include "ui/win32/donate_picture_data.h"

namespace dovrel {

PackedBitmap DonatePicture() {
    return {kDonatePictureDib, kDonatePictureDibWidth, kDonatePictureDibHeight,
            kDonatePictureDibPixelOffset};
}

void PaintPicture(HDC dc, const RECT& box, HBRUSH background, const PackedBitmap& picture) {
    FillRect(dc, &box, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    SetDIBitsToDevice(dc, box.left, box.top, static_cast<DWORD>(picture.width),
                      static_cast<DWORD>(picture.height), 0, 0, 0,
                      static_cast<UINT>(picture.height), picture.bytes + picture.pixelOffset,
                      reinterpret_cast<const BITMAPINFO*>(picture.bytes), DIB_RGB_COLORS);
}

} // namespace dovrel
