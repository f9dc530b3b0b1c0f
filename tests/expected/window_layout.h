// The main window as it must be laid out, written out once for every level of
// test: the unit tests hold the model to it, the Wine tests the real window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>

#include "tests/expected/texts.h"
#include "ui/control_id.h"
#include "ui/control_table.h"

namespace dovrel::expected {

inline constexpr int kClientWidthTwips = 6330;
inline constexpr int kClientHeightTwips = 3330;

// The pixel expectations are written out at these screen DPIs.
inline constexpr std::array<int, 3> kDpis{96, 120, 144};

struct Font {
    const wchar_t* face;
    double points;
    int weight;
    bool underline;
    int charset;
    std::array<int, kDpis.size()> heights; // the system's font height at each of kDpis
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
     0x8000000Cu, Font{L"Verdana", 6.75, 400, false, 0, {-9, -11, -14}}, nullptr},
    {C::Label3, L"Label3", K::Label, C::Frame4, L"Velloc's Windows Troubleshooting site", 120, 480,
     2535, 255, 12, true, 0, 0x8000000Du, Font{L"Tahoma", 6.75, 400, true, 0, {-9, -11, -14}},
     nullptr},
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
     120, 120, 6135, 615, 8, true, 0, kNone,
     Font{L"MS Sans Serif", 8.25, 700, false, 0, {-11, -14, -17}}, nullptr},
}};

// Controls without a font of their own: the system's dialog face at 8 points.
inline constexpr Font kDialogFont{L"MS Shell Dlg", 8.0, 400, false, 0, {-11, -13, -16}};

// The controls that take the focus, in keyboard order.
inline constexpr std::array<ControlId, 6> kFocusOrder{C::Option1,  C::Check1,   C::Check2,
                                                      C::Command1, C::Command2, C::Option2};

inline const Control& Row(ControlId id) {
    for (const Control& control : kControls)
        if (control.id == id)
            return control;
    return kControls[0];
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

struct Placed {
    ControlId id;
    Rect rect; // in the window's client area
};

// The window at each of kDpis: each twips position rounded to the nearest pixel
// (1440 twips an inch, halves away from zero); a frame's child from the
// frame's origin, each edge converted on its own.
struct PixelLayout {
    int clientWidth, clientHeight;
    std::array<Placed, 15> controls;
};

inline const std::array<PixelLayout, kDpis.size()> kPixelLayouts{{
    // 96 DPI
    {422,
     222,
     {{{C::Frame4, {232, 160, 417, 217}},
       {C::Label1, {240, 176, 401, 193}},
       {C::Label3, {240, 192, 409, 209}},
       {C::Frame3, {232, 48, 417, 161}},
       {C::Image1, {296, 112, 358, 143}},
       {C::Label4, {240, 64, 409, 105}},
       {C::Command2, {120, 192, 209, 217}},
       {C::Command1, {40, 192, 113, 217}},
       {C::Frame2, {8, 120, 225, 185}},
       {C::Check2, {24, 160, 209, 177}},
       {C::Check1, {24, 144, 209, 161}},
       {C::Frame1, {8, 48, 225, 113}},
       {C::Option2, {32, 88, 177, 105}},
       {C::Option1, {32, 72, 177, 89}},
       {C::Label2, {8, 8, 417, 49}}}}},
    // 120 DPI
    {528,
     278,
     {{{C::Frame4, {290, 200, 521, 271}},
       {C::Label1, {300, 220, 501, 241}},
       {C::Label3, {300, 240, 511, 261}},
       {C::Frame3, {290, 60, 521, 201}},
       {C::Image1, {370, 140, 448, 179}},
       {C::Label4, {300, 80, 511, 131}},
       {C::Command2, {150, 240, 261, 271}},
       {C::Command1, {50, 240, 141, 271}},
       {C::Frame2, {10, 150, 281, 231}},
       {C::Check2, {30, 200, 261, 221}},
       {C::Check1, {30, 180, 261, 201}},
       {C::Frame1, {10, 60, 281, 141}},
       {C::Option2, {40, 110, 221, 131}},
       {C::Option1, {40, 90, 221, 111}},
       {C::Label2, {10, 10, 521, 61}}}}},
    // 144 DPI
    {633,
     333,
     {{{C::Frame4, {348, 240, 626, 326}},
       {C::Label1, {360, 264, 602, 290}},
       {C::Label3, {360, 288, 614, 314}},
       {C::Frame3, {348, 72, 626, 242}},
       {C::Image1, {444, 168, 537, 215}},
       {C::Label4, {360, 96, 614, 158}},
       {C::Command2, {180, 288, 314, 326}},
       {C::Command1, {60, 288, 170, 326}},
       {C::Frame2, {12, 180, 338, 278}},
       {C::Check2, {36, 240, 314, 266}},
       {C::Check1, {36, 216, 314, 242}},
       {C::Frame1, {12, 72, 338, 170}},
       {C::Option2, {48, 132, 266, 158}},
       {C::Option1, {48, 108, 266, 134}},
       {C::Label2, {12, 12, 626, 74}}}}},
}};

// The position of `dpi` in kDpis; kDpis.size() for a DPI not written out.
inline std::size_t DpiIndex(int dpi) {
    std::size_t index = 0;
    while (index < kDpis.size() && kDpis[index] != dpi)
        ++index;
    return index;
}

// Expectations at a DPI not written out are ones no window meets.
inline constexpr Rect kNoRect{-1, -1, -1, -1};

inline Rect PlacedAt(ControlId id, int dpi) {
    const std::size_t index = DpiIndex(dpi);
    if (index == kDpis.size())
        return kNoRect;
    for (const Placed& placed : kPixelLayouts[index].controls)
        if (placed.id == id)
            return placed.rect;
    return kNoRect;
}

// Where a control lies in the window's client area: its horizontal edges at
// the horizontal DPI, its vertical edges at the vertical one.
inline Rect PixelRect(const Control& control, int dpiX, int dpiY) {
    const Rect across = PlacedAt(control.id, dpiX);
    const Rect down = PlacedAt(control.id, dpiY);
    return {across.left, down.top, across.right, down.bottom};
}

inline int ClientWidth(int dpiX) {
    const std::size_t index = DpiIndex(dpiX);
    return index == kDpis.size() ? -1 : kPixelLayouts[index].clientWidth;
}

inline int ClientHeight(int dpiY) {
    const std::size_t index = DpiIndex(dpiY);
    return index == kDpis.size() ? -1 : kPixelLayouts[index].clientHeight;
}

// The font height the system expects (minus the em height in pixels).
inline int FontHeight(const Font& font, int dpiY) {
    const std::size_t index = DpiIndex(dpiY);
    return index == kDpis.size() ? 0 : font.heights[index];
}

} // namespace dovrel::expected
