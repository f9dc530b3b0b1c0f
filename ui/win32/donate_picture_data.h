#pragma once

#include <cstddef>

namespace dovrel {

// The donation button as a packed device-independent bitmap (header, colour
// table, pixels), which the build derives from ui/win32/donate.gif and checks
// that GDI draws as it is.
extern const unsigned char kDonatePictureDib[];
extern const std::size_t kDonatePictureDibSize;
extern const int kDonatePictureDibWidth;
extern const int kDonatePictureDibHeight;
extern const std::size_t kDonatePictureDibPixelOffset;

} // namespace dovrel
