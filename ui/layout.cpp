#include "ui/layout.h"

#include <cmath>
#include <cstdint>

namespace dovrel {

namespace {

int RoundedDivide(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    return static_cast<int>(rounded);
}

// The control's left/top in twips from the window's client origin.
void AbsoluteOrigin(const ControlSpec& spec, int& left, int& top) {
    left = spec.left;
    top = spec.top;
    if (spec.container) {
        const ControlSpec& frame = FindControl(*spec.container);
        left += frame.left;
        top += frame.top;
    }
}

} // namespace

int TwipsToPixels(int twips, int dpi) {
    return RoundedDivide(static_cast<std::int64_t>(twips) * dpi, kTwipsPerInch);
}

PixelSize ClientSize(const Dpi& dpi) {
    return {TwipsToPixels(kClientWidthTwips, dpi.x), TwipsToPixels(kClientHeightTwips, dpi.y)};
}

PixelRect TwipsRect(int left, int top, int width, int height, const Dpi& dpi) {
    PixelRect rect;
    rect.left = TwipsToPixels(left, dpi.x);
    rect.top = TwipsToPixels(top, dpi.y);
    rect.right = TwipsToPixels(left + width, dpi.x);
    rect.bottom = TwipsToPixels(top + height, dpi.y);
    return rect;
}

PixelRect ControlRect(const ControlSpec& spec, const Dpi& dpi) {
    int left = 0;
    int top = 0;
    AbsoluteOrigin(spec, left, top);
    return TwipsRect(left, top, spec.width, spec.height, dpi);
}

int FontHeight(double points, int dpiY) {
    return -static_cast<int>(std::lround(points * dpiY / 72.0));
}

FontSetting StandardDialogFont() {
    return FontSetting{L"MS Shell Dlg", 8.0, 400, false, 0};
}

std::optional<int> SystemColourIndex(ColourValue colour) {
    if ((colour & kSystemColourFlag) == 0)
        return std::nullopt;
    return static_cast<int>(colour & 0xFFu);
}

std::uint32_t PlainColour(ColourValue colour) {
    return colour & 0x00FFFFFFu;
}

} // namespace dovrel
