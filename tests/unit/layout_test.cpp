#include <gtest/gtest.h>

#include <string>

#include "tests/expected/window_layout.h"
#include "ui/control_table.h"
#include "ui/layout.h"

namespace dovrel {
namespace {

TEST(TwipsToPixels, FifteenTwipsMakeAPixelAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(0, 96), 0);
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(930, 96), 62);
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
}

TEST(TwipsToPixels, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(TwipsToPixels(7, 96), 0);  // 0.47
    EXPECT_EQ(TwipsToPixels(8, 96), 1);  // 0.53
    EXPECT_EQ(TwipsToPixels(6, 120), 1); // 0.5
    EXPECT_EQ(TwipsToPixels(5, 120), 0); // 0.42
    EXPECT_EQ(TwipsToPixels(-6, 120), -1);
    EXPECT_EQ(TwipsToPixels(6330, 120), 528); // 527.5
}

TEST(ClientSize, IsTheWindowsTwipsAtTheScreensDpi) {
    const PixelSize at96 = ClientSize({96, 96});
    EXPECT_EQ(at96.width, 422);
    EXPECT_EQ(at96.height, 222);
    const PixelSize at120 = ClientSize({120, 120});
    EXPECT_EQ(at120.width, 528);
    EXPECT_EQ(at120.height, 278); // 277.5
    const PixelSize mixed = ClientSize({120, 96});
    EXPECT_EQ(mixed.width, 528);
    EXPECT_EQ(mixed.height, 222);
}

// A control's pixel edges: left, top, right, bottom.
expected::Rect EdgesOf(ControlId id, const Dpi& dpi) {
    const PixelRect r = ControlRect(FindControl(id), dpi);
    return {r.left, r.top, r.right, r.bottom};
}

TEST(ControlRect, ChildrenArePlacedFromTheirFramesOrigin) {
    // Option1: Frame1 (120, 720) + (360, 360), 2175 x 255.
    EXPECT_EQ(EdgesOf(ControlId::Option1, {96, 96}), (expected::Rect{32, 72, 177, 89}));
    // Image1: Frame3 (3480, 720) + (960, 960), 930 x 465.
    EXPECT_EQ(EdgesOf(ControlId::Image1, {96, 96}), (expected::Rect{296, 112, 358, 143}));
}

TEST(ControlRect, TopLevelControlsUseTheirOwnOffsets) {
    EXPECT_EQ(EdgesOf(ControlId::Label2, {96, 96}), (expected::Rect{8, 8, 417, 49}));
    // Fix: (600 + 1095) / 12 = 141.25, (2880 + 375) / 12 = 271.25.
    EXPECT_EQ(EdgesOf(ControlId::Command1, {120, 120}), (expected::Rect{50, 240, 141, 271}));
}

// Vertical edges follow the vertical DPI: Option1 is Frame1 (120, 720) +
// (360, 360), 2175 x 255 twips.
TEST(ControlRect, HorizontalAndVerticalDpiScaleTheirOwnEdges) {
    EXPECT_EQ(EdgesOf(ControlId::Option1, {96, 120}), (expected::Rect{32, 90, 177, 111}));
    EXPECT_EQ(EdgesOf(ControlId::Option1, {120, 96}), (expected::Rect{40, 72, 221, 89}));
}

class ControlRectAtDpi : public ::testing::TestWithParam<Dpi> {};

TEST_P(ControlRectAtDpi, EveryControlLiesAtItsTwipsToTheNearestPixel) {
    const Dpi dpi = GetParam();
    for (const expected::Control& d : expected::kControls) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(d.name)));
        EXPECT_EQ(EdgesOf(d.id, dpi), expected::PixelRect(d, dpi.x, dpi.y));
    }
}

TEST_P(ControlRectAtDpi, ChildrenStayInsideTheirFramesAndEverythingInsideTheClientArea) {
    const Dpi dpi = GetParam();
    const PixelSize client = ClientSize(dpi);
    for (const ControlSpec& spec : ControlTable()) {
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(spec.id));
        const PixelRect rect = ControlRect(spec, dpi);
        EXPECT_GE(rect.left, 0);
        EXPECT_GE(rect.top, 0);
        EXPECT_LE(rect.right, client.width);
        EXPECT_LE(rect.bottom, client.height);
        if (!spec.container)
            continue;
        const PixelRect frame = ControlRect(FindControl(*spec.container), dpi);
        EXPECT_GE(rect.left, frame.left);
        EXPECT_GE(rect.top, frame.top);
        EXPECT_LE(rect.right, frame.right);
        EXPECT_LE(rect.bottom, frame.bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenDpis, ControlRectAtDpi,
                         ::testing::Values(Dpi{96, 96}, Dpi{120, 120}, Dpi{144, 144}, Dpi{96, 120},
                                           Dpi{120, 96}, Dpi{144, 96}));

// Rounding a child's size on its own can push its edge past a frame edge that
// it exactly touches in twips (at 96 DPI a frame at 1 twip, 300 wide, ends at
// pixel 20; a child 7 twips in starts at pixel 1 and is 20 pixels wide, so it
// would end at 21). Sweep frame and child offsets so that every rounding case happens.
TEST(TwipsRect, AChildTouchingItsFramesEdgesNeverCrossesThemAnyWayTheyRound) {
    for (int dpi : {96, 120, 144, 72, 108}) {
        for (int frameLeft = 0; frameLeft < 30; ++frameLeft) {
            for (int inset = 0; inset < 30; ++inset) {
                const int frameSize = 300;
                const Dpi screen{dpi, dpi};
                const PixelRect frame =
                    TwipsRect(frameLeft, frameLeft, frameSize, frameSize, screen);
                const PixelRect child = TwipsRect(frameLeft + inset, frameLeft + inset,
                                                  frameSize - inset, frameSize - inset, screen);
                ASSERT_GE(child.left, frame.left) << dpi << " " << frameLeft << " " << inset;
                ASSERT_GE(child.top, frame.top) << dpi << " " << frameLeft << " " << inset;
                ASSERT_EQ(child.right, frame.right) << dpi << " " << frameLeft << " " << inset;
                ASSERT_EQ(child.bottom, frame.bottom) << dpi << " " << frameLeft << " " << inset;
            }
        }
    }
}

TEST(FontHeight, PointsBecomeNegativePixelHeightsAtTheDpi) {
    EXPECT_EQ(FontHeight(8.25, 96), -11);
    EXPECT_EQ(FontHeight(6.75, 96), -9);
    EXPECT_EQ(FontHeight(8.25, 120), -14); // 13.75
    EXPECT_EQ(FontHeight(6.75, 120), -11); // 11.25
    EXPECT_EQ(FontHeight(8.25, 144), -17); // 16.5
}

TEST(Fonts, TheTablesFontsAtTheDpi) {
    for (const expected::Control& d : expected::kControls) {
        if (!d.font)
            continue;
        SCOPED_TRACE(::testing::PrintToString(std::wstring(d.name)));
        for (int dpi : {96, 120, 144})
            EXPECT_EQ(FontHeight(FindControl(d.id).font->points, dpi),
                      expected::FontHeight(*d.font, dpi));
    }
}

TEST(Fonts, ControlsWithoutAFontGetTheDialogFaceAtEightPoints) {
    const FontSetting standard = StandardDialogFont();
    EXPECT_STREQ(standard.face, expected::kDialogFont.face);
    EXPECT_EQ(standard.weight, expected::kDialogFont.weight);
    EXPECT_EQ(standard.underline, expected::kDialogFont.underline);
    EXPECT_EQ(standard.charset, expected::kDialogFont.charset);
    EXPECT_EQ(FontHeight(standard.points, 96), -11);  // 10.67
    EXPECT_EQ(FontHeight(standard.points, 120), -13); // 13.33
}

TEST(Colours, SystemColourValuesGiveTheirIndex) {
    EXPECT_EQ(SystemColourIndex(0x8000000Cu), 12);
    EXPECT_EQ(SystemColourIndex(0x8000000Du), 13);
    EXPECT_EQ(SystemColourIndex(0x80000000u), 0);
    EXPECT_EQ(SystemColourIndex(*FindControl(ControlId::Label1).foreColour), 12);
    EXPECT_EQ(SystemColourIndex(*FindControl(ControlId::Label3).foreColour), 13);
}

TEST(Colours, PlainColoursAreNotSystemColours) {
    EXPECT_EQ(SystemColourIndex(0x00000080u), std::nullopt);
    EXPECT_EQ(SystemColourIndex(0x0000000Cu), std::nullopt);
    EXPECT_EQ(PlainColour(*FindControl(ControlId::Frame3).foreColour), 0x000080u);
    EXPECT_EQ(PlainColour(0x00C0FFEEu), 0xC0FFEEu);
}

} // namespace
} // namespace dovrel
