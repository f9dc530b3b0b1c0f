#pragma once

#include <cstddef>

namespace dovrel {

// The donation button as a packed device-independent bitmap (header, colour
// table, pixels), which the build derives from ui/win32/donate.gif.
extern const unsigned char kDonatePictureDib[];
extern const std::size_t kDonatePictureDibSize;

} // namespace dovrel
