#include <gtest/gtest.h>

#include <string>

#include "ui/control_table.h"

namespace dovrel {
namespace {

struct Rect {
    int left, top, right, bottom;
};

Rect RectOf(const ControlSpec& spec) {
    return {spec.left, spec.top, spec.left + spec.width, spec.top + spec.height};
}

TEST(ControlTable, TopLevelControlsLieInsideTheClientArea) {
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.container)
            continue;
        const Rect r = RectOf(spec);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, kClientWidthTwips);
        EXPECT_LE(r.bottom, kClientHeightTwips);
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

TEST(ControlTable, FocusOrderFollowsTheTabIndexes) {
    const std::array<ControlId, 6> expected{ControlId::Option1,  ControlId::Check1,
                                            ControlId::Check2,   ControlId::Command1,
                                            ControlId::Command2, ControlId::Option2};
    EXPECT_EQ(FocusOrder(), expected);
}

TEST(ControlTable, CaptionsAreExact) {
    EXPECT_STREQ(kWindowCaption, L"Dovrel for Windows XP");
    EXPECT_STREQ(FindControl(ControlId::Command1).caption, L"&Fix");
    EXPECT_STREQ(FindControl(ControlId::Command2).caption, L"&Visit Homepage");
    EXPECT_STREQ(FindControl(ControlId::Option1).caption, L"PowerPoint Viewer 2003");
    EXPECT_STREQ(FindControl(ControlId::Option2).caption, L"PowerPoint Viewer 2007");
    EXPECT_STREQ(FindControl(ControlId::Check1).caption, L".PPS [PowerPoint Slide Show]");
    EXPECT_STREQ(FindControl(ControlId::Check2).caption, L".PPT [PowerPoint Presentation]");
    EXPECT_STREQ(FindControl(ControlId::Frame1).caption,
                 L"Select the version of Viewer you're using");
    EXPECT_STREQ(FindControl(ControlId::Frame2).caption, L"Select the file types to fix");
    EXPECT_STREQ(FindControl(ControlId::Frame3).caption, L"Donations");
    EXPECT_EQ(FindControl(ControlId::Frame4).caption, nullptr);
    EXPECT_STREQ(FindControl(ControlId::Label3).caption, L"Velloc's Windows Troubleshooting site");
    EXPECT_STREQ(FindControl(ControlId::Label4).caption,
                 L"If you wish to donate to support such utilities, please click the PayPal image "
                 L"below:");
    EXPECT_STREQ(FindControl(ControlId::Label2).caption,
                 L"This utility fixes a problem opening PPS and PPT file attachments directly "
                 L"from Outlook Express.");
    EXPECT_STREQ(FindControl(ControlId::Image1).toolTip, L"Click here to donate.");
}

TEST(ControlTable, StoredStartingStates) {
    for (const ControlSpec& spec : ControlTable()) {
        EXPECT_EQ(spec.enabled, spec.id != ControlId::Command1);
        EXPECT_EQ(spec.value, spec.id == ControlId::Check1 ? 1 : 0);
    }
}

TEST(ControlTable, EntriesAreIndexedByTheirId) {
    for (int i = 0; i < kControlCount; ++i)
        EXPECT_EQ(static_cast<int>(ControlTable()[i].id), i);
}

} // namespace
} // namespace dovrel
