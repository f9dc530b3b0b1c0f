#include "platform/variant.h"

#include "platform/decimal_text.h"

namespace dovrel {

std::wstring VariantToText(const Variant& value) {
    if (const auto* text = std::get_if<std::wstring>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return DecimalText(*number);
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? L"True" : L"False";
    return std::wstring();
}

} // namespace dovrel
