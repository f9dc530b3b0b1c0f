#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>

#include "tests/expected/window_layout.h"
#include "ui/control_table.h"

namespace dovrel {
namespace {

using expected::kControls;

std::optional<expected::Font> FontOf(const ControlSpec& spec) {
    if (!spec.font)
        return std::nullopt;
    return expected::Font{spec.font->face,      spec.font->points,  spec.font->weight,
                          spec.font->underline, spec.font->charset, {}};
}

bool Same(const std::optional<expected::Font>& a, const std::optional<expected::Font>& b) {
    if (!a || !b)
        return !a && !b;
    return std::wcscmp(a->face, b->face) == 0 && a->points == b->points && a->weight == b->weight &&
           a->underline == b->underline && a->charset == b->charset;
}

// What the table and the expectation must agree on, as one printable value.
template <typename Row> auto Placement(const Row& r) {
    return std::make_tuple(r.id, std::wstring(r.name), r.kind, r.container, r.left, r.top, r.width,
                           r.height, r.tabIndex);
}

TEST(ControlTable, KindsContainersPositionsSizesAndTabIndexesAreAsDesigned) {
    ASSERT_EQ(ControlTable().size(), kControls.size());
    for (std::size_t i = 0; i < kControls.size(); ++i)
        EXPECT_EQ(Placement(ControlTable()[i]), Placement(kControls[i])) << "row " << i;
}

TEST(ControlTable, TopLevelControlsLieInsideTheClientArea) {
    EXPECT_EQ(kClientWidthTwips, expected::kClientWidthTwips);
    EXPECT_EQ(kClientHeightTwips, expected::kClientHeightTwips);
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.container)
            continue;
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(spec.id));
        EXPECT_GE(spec.left, 0);
        EXPECT_GE(spec.top, 0);
        EXPECT_LE(spec.left + spec.width, expected::kClientWidthTwips);
        EXPECT_LE(spec.top + spec.height, expected::kClientHeightTwips);
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
    std::array<expected::Control, kControlCount> byTabIndex = kControls;
    std::stable_sort(byTabIndex.begin(), byTabIndex.end(), [](const auto& a, const auto& b) {
        return a.tabIndex.value_or(kControlCount) < b.tabIndex.value_or(kControlCount);
    });
    std::array<ControlId, kControlCount> order{};
    std::transform(byTabIndex.begin(), byTabIndex.end(), order.begin(),
                   [](const expected::Control& c) { return c.id; });
    EXPECT_EQ(TabOrder(), order);
}

TEST(ControlTable, CaptionsAreExact) {
    EXPECT_STREQ(kWindowCaption, expected::kTitle);
    for (const expected::Control& d : kControls) {
        const wchar_t* caption = FindControl(d.id).caption;
        SCOPED_TRACE(::testing::Message() << "control index " << static_cast<int>(d.id));
        if (d.caption == expected::kAnyText)
            EXPECT_GT(std::wcslen(caption), 0u);
        else if (d.caption == nullptr)
            EXPECT_EQ(caption, nullptr);
        else
            EXPECT_STREQ(caption, d.caption);
    }
}

TEST(ControlTable, StoredStartingStates) {
    for (const expected::Control& d : kControls) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(d.name)));
        EXPECT_EQ(FindControl(d.id).enabled, d.enabled);
        EXPECT_EQ(FindControl(d.id).value, d.value);
    }
}

// Every control not given a colour, font or tool tip keeps the defaults.
TEST(ControlTable, ColoursFontsAndToolTipAreAsDesigned) {
    for (const expected::Control& d : kControls) {
        const ControlSpec& spec = FindControl(d.id);
        SCOPED_TRACE(::testing::PrintToString(std::wstring(d.name)));
        EXPECT_EQ(spec.foreColour, d.colour);
        EXPECT_TRUE(Same(FontOf(spec), d.font));
        EXPECT_EQ(std::wstring(spec.toolTip ? spec.toolTip : L""),
                  std::wstring(d.toolTip ? d.toolTip : L""));
    }
}

TEST(ControlTable, EntriesAreIndexedByTheirId) {
    for (int i = 0; i < kControlCount; ++i)
        EXPECT_EQ(static_cast<int>(ControlTable()[i].id), i);
}

} // namespace
} // namespace dovrel
