#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "ui/control_id.h"

namespace dovrel {

enum class ControlKind { Frame, Label, CommandButton, CheckBox, OptionButton, Image };

// 0x00BBGGRR, or 0x800000nn for system colour nn.
using ColourValue = std::uint32_t;
inline constexpr ColourValue kSystemColourFlag = 0x80000000u;

struct FontSetting {
    const wchar_t* face;
    double points;
    int weight; // 400 regular, 700 bold
    bool underline;
    int charset;
};

enum class TextAlign { Left, Centre };

struct ControlSpec {
    ControlId id = ControlId::Frame4;
    const wchar_t* name = nullptr;
    ControlKind kind = ControlKind::Label;
    std::optional<ControlId> container;           // empty: the window itself
    const wchar_t* caption = nullptr;             // nullptr: none
    int left = 0, top = 0, width = 0, height = 0; // twips, relative to the container
    std::optional<int> tabIndex;
    // Stored settings; everything unset takes the toolkit's default.
    bool enabled = true;
    int value = 0; // check box 0/1; option buttons start false
    std::optional<ColourValue> foreColour;
    std::optional<FontSetting> font;
    TextAlign align = TextAlign::Left;
    const wchar_t* toolTip = nullptr;
};

inline constexpr wchar_t kWindowCaption[] = L"Dovrel for Windows XP";
inline constexpr int kClientWidthTwips = 6330;
inline constexpr int kClientHeightTwips = 3330;

const std::array<ControlSpec, kControlCount>& ControlTable();
const ControlSpec& FindControl(ControlId id);

// Every control in keyboard order (ascending tab index), the image, which has
// none, last: the order in which the window creates them, so that Tab follows it.
std::array<ControlId, kControlCount> TabOrder();

} // namespace dovrel
