#include "ui/control_table.h"

#include <algorithm>

namespace dovrel {

namespace {

using K = ControlKind;
using C = ControlId;

ControlSpec Make(C id, const wchar_t* name, K kind, std::optional<C> container,
                 const wchar_t* caption, int left, int top, int width, int height,
                 std::optional<int> tabIndex) {
    ControlSpec spec;
    spec.id = id;
    spec.name = name;
    spec.kind = kind;
    spec.container = container;
    spec.caption = caption;
    spec.left = left;
    spec.top = top;
    spec.width = width;
    spec.height = height;
    spec.tabIndex = tabIndex;
    return spec;
}

std::array<ControlSpec, kControlCount> BuildTable() {
    const FontSetting creditFont{L"Verdana", 6.75, 400, false, 0};
    const FontSetting linkFont{L"Tahoma", 6.75, 400, true, 0};
    const FontSetting descriptionFont{L"MS Sans Serif", 8.25, 700, false, 0};

    std::array<ControlSpec, kControlCount> table{
        Make(C::Frame4, L"Frame4", K::Frame, std::nullopt, nullptr, 3480, 2400, 2775, 855, 11),
        Make(C::Label1, L"Label1", K::Label, C::Frame4, L"Written by the Dovrel team", 120, 240,
             2415, 255, 13),
        Make(C::Label3, L"Label3", K::Label, C::Frame4, L"Velloc's Windows Troubleshooting site",
             120, 480, 2535, 255, 12),
        Make(C::Frame3, L"Frame3", K::Frame, std::nullopt, L"Donations", 3480, 720, 2775, 1695, 9),
        Make(C::Image1, L"Image1", K::Image, C::Frame3, nullptr, 960, 960, 930, 465, std::nullopt),
        Make(C::Label4, L"Label4", K::Label, C::Frame3,
             L"If you wish to donate to support such utilities, please click the PayPal image "
             L"below:",
             120, 240, 2535, 615, 10),
        Make(C::Command2, L"Command2", K::CommandButton, std::nullopt, L"&Visit Homepage", 1800,
             2880, 1335, 375, 6),
        Make(C::Command1, L"Command1", K::CommandButton, std::nullopt, L"&Fix", 600, 2880, 1095,
             375, 5),
        Make(C::Frame2, L"Frame2", K::Frame, std::nullopt, L"Select the file types to fix", 120,
             1800, 3255, 975, 2),
        Make(C::Check2, L"Check2", K::CheckBox, C::Frame2, L".PPT [PowerPoint Presentation]", 240,
             600, 2775, 255, 4),
        Make(C::Check1, L"Check1", K::CheckBox, C::Frame2, L".PPS [PowerPoint Slide Show]", 240,
             360, 2775, 255, 3),
        Make(C::Frame1, L"Frame1", K::Frame, std::nullopt,
             L"Select the version of Viewer you're using", 120, 720, 3255, 975, 0),
        Make(C::Option2, L"Option2", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2007", 360,
             600, 2175, 255, 7),
        Make(C::Option1, L"Option1", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2003", 360,
             360, 2175, 255, 1),
        Make(C::Label2, L"Label2", K::Label, std::nullopt,
             L"This utility fixes a problem opening PPS and PPT file attachments directly from "
             L"Outlook Express.",
             120, 120, 6135, 615, 8),
    };

    auto& fix = table[static_cast<int>(C::Command1)];
    fix.enabled = false;
    table[static_cast<int>(C::Check1)].value = 1;

    auto& credit = table[static_cast<int>(C::Label1)];
    credit.foreColour = kSystemColourFlag | 12u; // application workspace
    credit.font = creditFont;

    auto& link = table[static_cast<int>(C::Label3)];
    link.foreColour = kSystemColourFlag | 13u; // selection highlight
    link.font = linkFont;

    table[static_cast<int>(C::Label2)].font = descriptionFont;
    table[static_cast<int>(C::Frame3)].foreColour = 0x00000080u; // dark red
    table[static_cast<int>(C::Image1)].toolTip = L"Click here to donate.";
    return table;
}

} // namespace

const std::array<ControlSpec, kControlCount>& ControlTable() {
    static const std::array<ControlSpec, kControlCount> table = BuildTable();
    return table;
}

const ControlSpec& FindControl(ControlId id) {
    return ControlTable()[static_cast<int>(id)];
}

std::array<ControlId, kControlCount> TabOrder() {
    std::array<ControlId, kControlCount> order{};
    std::transform(ControlTable().begin(), ControlTable().end(), order.begin(),
                   [](const ControlSpec& spec) { return spec.id; });
    std::stable_sort(order.begin(), order.end(), [](ControlId a, ControlId b) {
        return FindControl(a).tabIndex.value_or(kControlCount) <
               FindControl(b).tabIndex.value_or(kControlCount);
    });
    return order;
}

} // namespace dovrel
