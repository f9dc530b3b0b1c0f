#pragma once

#include <optional>

#include "ui/control_table.h"

namespace dovrel {

// Dots per inch of the screen, horizontally and vertically.
struct Dpi {
    int x = 96;
    int y = 96;
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// Edges in pixels: left/top inclusive, right/bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

inline constexpr int kTwipsPerInch = 1440;

// A twips coordinate at the given DPI, rounded to the nearest pixel (halves
// away from zero). Monotonic, so converting edges keeps containment.
int TwipsToPixels(int twips, int dpi);

// The window's client area at the given DPI.
PixelSize ClientSize(const Dpi& dpi);

// A rectangle given in twips from the client origin, converted edge by edge.
PixelRect TwipsRect(int left, int top, int width, int height, const Dpi& dpi);

// Where a control sits in the window's client area. A child of a frame is
// placed by its frame's offset plus its own; both of its edges are converted
// as absolute positions, so a child never sticks out of its frame however the
// pixels round.
PixelRect ControlRect(const ControlSpec& spec, const Dpi& dpi);

// A font's size in points as a character height in pixels at the given
// vertical DPI (negative: the em height, as the system expects).
int FontHeight(double points, int dpiY);

// The font of every control without one of its own: the system's dialog face
// at 8 points, the size dialogs use, scaled like everything else.
FontSetting StandardDialogFont();

// The system colour index of a 0x800000nn value; empty for a plain colour.
std::optional<int> SystemColourIndex(ColourValue colour);

// The 0x00BBGGRR part of a plain colour value.
std::uint32_t PlainColour(ColourValue colour);

} // namespace dovrel
