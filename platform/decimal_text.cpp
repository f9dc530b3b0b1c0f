#include "platform/decimal_text.h"

#include <iterator>

namespace dovrel {

std::wstring DecimalText(std::int64_t value) {
    // The magnitude in unsigned arithmetic, so the most negative value has one too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    wchar_t digits[21]; // 19 digits at most, and a sign
    wchar_t* first = std::end(digits);
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--first = L'-';
    return std::wstring(first, std::end(digits));
}

} // namespace dovrel
