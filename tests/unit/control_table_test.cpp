#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "ui/control_table.h"

namespace dovrel {
namespace {

using C = ControlId;
using K = ControlKind;

// The designed controls, written out in their stored order.
struct Designed {
    C id;
    const wchar_t* name;
    K kind;
    std::optional<C> container;
    const wchar_t* caption; // nullptr: none
    int left, top, width, height;
    std::optional<int> tabIndex;
};

// The author credit's text is the implementer's own.
const wchar_t kAnyText[] = L"(any text)";

const Designed kDesigned[] = {
    {C::Frame4, L"Frame4", K::Frame, std::nullopt, nullptr, 3480, 2400, 2775, 855, 11},
    {C::Label1, L"Label1", K::Label, C::Frame4, kAnyText, 120, 240, 2415, 255, 13},
    {C::Label3, L"Label3", K::Label, C::Frame4, L"Velloc's Windows Troubleshooting site", 120, 480,
     2535, 255, 12},
    {C::Frame3, L"Frame3", K::Frame, std::nullopt, L"Donations", 3480, 720, 2775, 1695, 9},
    {C::Image1, L"Image1", K::Image, C::Frame3, nullptr, 960, 960, 930, 465, std::nullopt},
    {C::Label4, L"Label4", K::Label, C::Frame3,
     L"If you wish to donate to support such utilities, please click the PayPal image below:", 120,
     240, 2535, 615, 10},
    {C::Command2, L"Command2", K::CommandButton, std::nullopt, L"&Visit Homepage", 1800, 2880, 1335,
     375, 6},
    {C::Command1, L"Command1", K::CommandButton, std::nullopt, L"&Fix", 600, 2880, 1095, 375, 5},
    {C::Frame2, L"Frame2", K::Frame, std::nullopt, L"Select the file types to fix", 120, 1800, 3255,
     975, 2},
    {C::Check2, L"Check2", K::CheckBox, C::Frame2, L".PPT [PowerPoint Presentation]", 240, 600,
     2775, 255, 4},
    {C::Check1, L"Check1", K::CheckBox, C::Frame2, L".PPS [PowerPoint Slide Show]", 240, 360, 2775,
     255, 3},
    {C::Frame1, L"Frame1", K::Frame, std::nullopt, L"Select the version of Viewer you're using",
     120, 720, 3255, 975, 0},
    {C::Option2, L"Option2", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2007", 360, 600, 2175,
     255, 7},
    {C::Option1, L"Option1", K::OptionButton, C::Frame1, L"PowerPoint Viewer 2003", 360, 360, 2175,
     255, 1},
    {C::Label2, L"Label2", K::Label, std::nullopt,
     L"This utility fixes a problem opening PPS and PPT file attachments directly from Outlook "
     L"Express.",
     120, 120, 6135, 615, 8},
};

TEST(ControlTable, KindsContainersPositionsSizesAndTabIndexesAreAsDesigned) {
    ASSERT_EQ(ControlTable().size(), std::size(kDesigned));
    for (std::size_t i = 0; i < std::size(kDesigned); ++i) {
        const Designed& d = kDesigned[i];
        const ControlSpec& spec = ControlTable()[i];
        SCOPED_TRACE(::testing::Message() << "row " << i);
        EXPECT_EQ(spec.id, d.id);
        EXPECT_STREQ(spec.name, d.name);
        EXPECT_EQ(spec.kind, d.kind);
        EXPECT_EQ(spec.container, d.container);
        EXPECT_EQ(spec.left, d.left);
        EXPECT_EQ(spec.top, d.top);
        EXPECT_EQ(spec.width, d.width);
        EXPECT_EQ(spec.height, d.height);
        EXPECT_EQ(spec.tabIndex, d.tabIndex);
    }
}

TEST(ControlTable, TopLevelControlsLieInsideTheClientArea) {
    EXPECT_EQ(kClientWidthTwips, 6330);
    EXPECT_EQ(kClientHeightTwips, 3330);
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.container)
            continue;
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(spec.id));
        EXPECT_GE(spec.left, 0);
        EXPECT_GE(spec.top, 0);
        EXPECT_LE(spec.left + spec.width, 6330);
        EXPECT_LE(spec.top + spec.height, 3330);
    }
}

TEST(ControlTable, ChildrenLieInsideTheirFrames) {
    for (const ControlSpec& spec : ControlTable()) {
        if (!spec.container)
            continue;
        const ControlSpec& frame = FindControl(*spec.container);
        ASSERT_EQ(frame.kind, ControlKind::Frame);
        EXPECT_GE(spec.left, 0);
        EXPECT_GE(spec.top, 0);
        EXPECT_LE(spec.left + spec.width, frame.width);
        EXPECT_LE(spec.top + spec.height, frame.height);
    }
}

// The design lets neighbours share one pixel (15 twips) and no more.
TEST(ControlTable, ControlsOfOneContainerDoNotOverlap) {
    const int onePixel = 15;
    for (const ControlSpec& a : ControlTable()) {
        for (const ControlSpec& b : ControlTable()) {
            if (a.id >= b.id || a.container != b.container)
                continue;
            const int across =
                std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
            const int down = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
            EXPECT_FALSE(across > onePixel && down > onePixel)
                << "control indexes " << static_cast<int>(a.id) << " and "
                << static_cast<int>(b.id);
        }
    }
}

TEST(ControlTable, TabOrderFollowsTheTabIndexesWithThePictureLast) {
    const std::array<ControlId, kControlCount> expected{
        C::Frame1,   C::Option1,  C::Frame2,  C::Check1, C::Check2,
        C::Command1, C::Command2, C::Option2, C::Label2, C::Frame3,
        C::Label4,   C::Frame4,   C::Label3,  C::Label1, C::Image1};
    EXPECT_EQ(TabOrder(), expected);
}

TEST(ControlTable, CaptionsAreExact) {
    EXPECT_STREQ(kWindowCaption, L"Dovrel for Windows XP");
    for (const Designed& d : kDesigned) {
        const wchar_t* caption = FindControl(d.id).caption;
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(d.id));
        if (d.caption == kAnyText)
            EXPECT_GT(std::wcslen(caption), 0u);
        else if (d.caption == nullptr)
            EXPECT_EQ(caption, nullptr);
        else
            EXPECT_STREQ(caption, d.caption);
    }
    EXPECT_STREQ(FindControl(ControlId::Image1).toolTip, L"Click here to donate.");
}

TEST(ControlTable, StoredStartingStates) {
    for (const ControlSpec& spec : ControlTable()) {
        EXPECT_EQ(spec.enabled, spec.id != ControlId::Command1);
        EXPECT_EQ(spec.value, spec.id == ControlId::Check1 ? 1 : 0);
    }
}

// Colours, fonts and the tool tip; every other control keeps the defaults.
TEST(ControlTable, ColoursFontsAndToolTipAreAsDesigned) {
    struct Font {
        std::wstring face;
        double points;
        int weight;
        bool underline;
        int charset;
        bool operator==(const Font& o) const {
            return face == o.face && points == o.points && weight == o.weight &&
                   underline == o.underline && charset == o.charset;
        }
    };
    struct Look {
        std::optional<ColourValue> colour;
        std::optional<Font> font;
        std::wstring toolTip;
    };
    const std::map<ControlId, Look> designed{
        {C::Label1, {0x8000000Cu, Font{L"Verdana", 6.75, 400, false, 0}, L""}},
        {C::Label3, {0x8000000Du, Font{L"Tahoma", 6.75, 400, true, 0}, L""}},
        {C::Label2, {std::nullopt, Font{L"MS Sans Serif", 8.25, 700, false, 0}, L""}},
        {C::Frame3, {0x00000080u, std::nullopt, L""}},
        {C::Image1, {std::nullopt, std::nullopt, L"Click here to donate."}},
    };
    for (const ControlSpec& spec : ControlTable()) {
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(spec.id));
        const auto found = designed.find(spec.id);
        const Look expected = found == designed.end() ? Look{} : found->second;
        EXPECT_EQ(spec.foreColour, expected.colour);
        std::optional<Font> font;
        if (spec.font)
            font = Font{spec.font->face, spec.font->points, spec.font->weight, spec.font->underline,
                        spec.font->charset};
        EXPECT_EQ(font, expected.font);
        EXPECT_EQ(spec.toolTip ? spec.toolTip : L"", expected.toolTip);
    }
}

TEST(ControlTable, EntriesAreIndexedByTheirId) {
    for (int i = 0; i < kControlCount; ++i)
        EXPECT_EQ(static_cast<int>(ControlTable()[i].id), i);
}

} // namespace
} // namespace dovrel
