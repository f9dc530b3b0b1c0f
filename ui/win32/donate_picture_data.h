#pragma once

#include <cstddef>

namespace dovrel {

// The donation button as GIF89a bytes, compiled in as data.
extern const unsigned char kDonatePictureGif[];
extern const std::size_t kDonatePictureGifSize;

} // namespace dovrel
