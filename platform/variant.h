#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace dovrel {

// The untyped values the window's fields and the shell calls pass around:
// empty, text, a number or a flag.
using Variant = std::variant<std::monostate, std::wstring, std::int32_t, bool>;

// Ordinary conversion to text: text unchanged, a number as its decimal digits,
// a flag as "True"/"False", empty as "".
std::wstring VariantToText(const Variant& value);

} // namespace dovrel
