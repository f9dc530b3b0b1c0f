// The main window as it must be laid out, written out once for every level of
// test: the unit tests hold the model to it, the Wine tests the real window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>

#include "tests/expected/texts.h"
#include "ui/control_id.h"
#include "ui/control_table.h"

namespace dovrel::expected {

inline constexpr int kClientWidthTwips = 6330;
inline constexpr int kClientHeightTwips = 3330;

struct Font {
    const wchar_t* face;
    double points;
    int weight;
    bool underline;
    int charset;
};

// The author credit's text is the implementer's own: any text but none.
inline constexpr wchar_t kAnyText[] = L"(any text)";

struct Control {
    ControlId id;
    const wchar_t* name;
    ControlKind kind;
    std::optional<ControlId> container; // empty: the window
    const wchar_t* caption;             // nullptr: none; kAnyText: any non-empty text
    int left, top, width, height;       // twips, from the container's origin
    std::optional<int> tabIndex;
    bool enabled;
    int value; // check box 0/1; option buttons start false (0)
    std::optional<std::uint32_t> colour;
    std::optional<Font> font;
    const wchar_t* toolTip; // nullptr: none
};

using K = ControlKind;
using C = ControlId;
inline constexpr auto kNone = std::nullopt;

// In their stored order.
inline const std::array<Control, 15> kControls{{
    {C::Frame4, L"Frame4", K::Frame, kNone, nullptr, 3480, 2400, 2775, 855, 11, true, 0, kNone,
     kNone, nullptr},
    {C::Label1, L"Label1", K::Label, C::Frame4, kAnyText, 120, 240, 2415, 255, 13, true, 0,
     0x8000000Cu, Font{L"Verdana", 6.75, 400, false, 0}, nullptr},
    {C::Label3, L"Label3", K::Label, C::Frame4, L"Velloc's Windows Troubleshooting site", 120, 480,
     2535, 255, 12, true, 0, 0x8000000Du, Font{L"Tahoma", 6.75, 400, true, 0}, nullptr},
    {C::Frame3, L"Frame3", K::Frame, kNone, L"Donations", 3480, 720, 2775, 1695, 9, true, 0,
     0x00000080u, kNone, nullptr},
    {C::Image1, L"Image1", K::Image, C::Frame3, nullptr, 960, 960, 930, 465, kNone, true, 0, kNone,
     kNone, kToolTip},
    {C::Label4, L"Label4", K::Label, C::Frame3,
     L"If you wish to donate to support such utilities, please click the PayPal image below:", 120,
     240, 2535, 615, 10, true, 0, kNone, kNone, nullptr},
    {C::Command2, L"Command2", K::CommandButton, kNone, L"&Visit Homepage", 1800, 2880, 1335, 375,
     6, true, 0, kNone, kNone, nullptr},
    {C::Command1, L"Command1", K::CommandButton, kNone, L"&Fix", 600, 2880, 1095, 375, 5, false, 0,
     kNone, kNone, nullptr},
    {C::Frame2, L"Frame2", K::Frame, kNone, L"Select the file types to fix", 120, 1800, 3255, 975,
     2, true, 0, kNone, kNone, nullptr},
    {C::Check2, L"Check2", K::CheckBox, C::Frame2, L".PPT [PowerPoint Presentation]", 240, 600,
     2775, 255, 4, true, 0, kNone, kNone, nullptr},
    {C::Check1, L"Check1", K::CheckBox, C::Frame2, L".PPS [PowerPoint Slide Show]", 240, 360, 2775,
     255, 3, true, 1, kNone, kNone, nullptr},
    {C::Frame1, L"Frame1", K::Frame, kNone, L"Select the version of Viewer you're using", 120, 720,
     3255, 975, 0, true, 0, kNone, kNone, nullptr},
    {C::Option2, L"Option2", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2007", 360, 600, 2175,
     255, 7, true, 0, kNone, kNone, nullptr},
    {C::Option1, L"Option1", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2003", 360, 360, 2175,
     255, 1, true, 0, kNone, kNone, nullptr},
    {C::Label2, L"Label2", K::Label, kNone,
     L"This utility fixes a problem opening PPS and PPT file attachments directly from Outlook "
     L"Express.",
     120, 120, 6135, 615, 8, true, 0, kNone, Font{L"MS Sans Serif", 8.25, 700, false, 0}, nullptr},
}};

// Controls without a font of their own: the system's dialog face at 8 points.
inline constexpr Font kDialogFont{L"MS Shell Dlg", 8.0, 400, false, 0};

// The controls that take the focus, in keyboard order.
inline constexpr std::array<ControlId, 6> kFocusOrder{C::Option1,  C::Check1,   C::Check2,
                                                      C::Command1, C::Command2, C::Option2};

inline const Control& Row(ControlId id) {
    for (const Control& control : kControls)
        if (control.id == id)
            return control;
    return kControls[0];
}

// Twips to the nearest pixel (1440 twips an inch), halves away from zero.
inline constexpr int Pixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// A point size as the font height the system expects: minus the pixels.
inline int FontHeight(double points, int dpiY) {
    const double pixels = points * dpiY / 72.0;
    return -static_cast<int>(pixels + 0.5);
}

struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
inline void PrintTo(const Rect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// Where a control lies in the window's client area: a frame's child from the
// frame's origin, each edge converted on its own.
inline Rect PixelRect(const Control& control, int dpiX, int dpiY) {
    int left = control.left;
    int top = control.top;
    if (control.container) {
        left += Row(*control.container).left;
        top += Row(*control.container).top;
    }
    return {Pixels(left, dpiX), Pixels(top, dpiY), Pixels(left + control.width, dpiX),
            Pixels(top + control.height, dpiY)};
}

} // namespace dovrel::expected
