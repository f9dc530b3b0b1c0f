#pragma once

#include <cstdint>
#include <string>

namespace dovrel {

// A whole number as its decimal digits, with a leading minus when negative.
// Used instead of the C library's formatted printing, which would make the
// program several times its size.
std::wstring DecimalText(std::int64_t value);

} // namespace dovrel
