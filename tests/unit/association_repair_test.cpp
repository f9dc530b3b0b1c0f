#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/fakes/form_harness.h"

namespace dovrel::testing {
namespace {

const std::wstring kPath2003 =
    L"C:\\Program Files\\Microsoft Office\\PowerPoint Viewer\\pptview.exe";
const std::wstring kPath2007 = L"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe";
const std::wstring kCommand2007 =
    L"\"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe\" \"%1\"";

const std::wstring kSlideShowCommand =
    L"HKCR\\PowerPointViewer.SlideShow.11\\shell\\open\\command\\";
const std::wstring kSlideShowVerb = L"HKCR\\PowerPointViewer.SlideShow.11\\shell\\";
const std::wstring kPpsExtension = L"HKCR\\.pps\\";
const std::wstring kShowCommand = L"HKCR\\PowerPointViewer.Show.11\\shell\\open\\command\\";
const std::wstring kShowVerb = L"HKCR\\PowerPointViewer.Show.11\\shell\\";
const std::wstring kPptExtension = L"HKCR\\.ppt\\";

std::wstring Write(const std::wstring& path, const std::wstring& data) {
    return L"shell.RegWrite " + path + L" = " + data + L" (REG_SZ)";
}

class AssociationRepairTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.CreateObjects();
        // As after a successful check of the 2007 viewer.
        h.world.files[kPath2007] = L"12.0.4518.1014";
        fields().sViewerPath = kPath2007;
        h.view.Select(ControlId::Option2);
        h.view.enabled[ControlId::Command1] = true;
    }

    void Tick(bool slideShow, bool presentation) {
        h.view.Tick(ControlId::Check1, slideShow);
        h.view.Tick(ControlId::Check2, presentation);
    }

    // Every call except the reads of the controls' values.
    std::vector<std::wstring> Effects() const {
        std::vector<std::wstring> out;
        for (const std::wstring& call : h.log.calls)
            if (call.rfind(L"view.Get", 0) != 0)
                out.push_back(call);
        return out;
    }

    void ExpectCompleted() {
        EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
        ASSERT_EQ(h.messageBox.shown.size(), 1u);
        EXPECT_EQ(h.messageBox.shown[0].prompt, L"Completed!");
        EXPECT_EQ(h.messageBox.shown[0].style, 0);
        EXPECT_EQ(h.messageBox.shown[0].title,
                  std::optional<std::wstring>(L"Dovrel for Windows XP"));
    }

    FormFields& fields() { return h.form.fields(); }

    FormHarness h;
};

// --- the open command and the fields ----------------------------------------

TEST_F(AssociationRepairTest, OpenCommandQuotesTheViewerPathAndThePlaceholder) {
    Tick(true, false);
    h.form.OnCommand1Click();

    EXPECT_EQ(fields().sOpenCommand, kCommand2007);
    EXPECT_EQ(fields().sOpenCommand.size(), 61u);
    EXPECT_EQ(fields().sOpenCommand.size(), kPath2007.size() + 7);
    EXPECT_EQ(fields().sShowCommandKey, kShowCommand);
    EXPECT_EQ(fields().sSlideShowCommandKey, kSlideShowCommand);
}

// --- which values are written, in which order --------------------------------

TEST_F(AssociationRepairTest, BothTypesWriteSixValuesWithTheProbeBetweenThirdAndFourth) {
    Tick(true, true);
    h.form.OnCommand1Click();

    const std::vector<std::wstring> expected{
        L"fso.FileExists " + kPath2007,
        Write(kSlideShowCommand, kCommand2007),
        Write(kSlideShowVerb, L"open"),
        Write(kPpsExtension, L"PowerPointViewer.SlideShow.11"),
        L"shell.RegRead " + kShowCommand,
        Write(kShowCommand, kCommand2007),
        Write(kShowVerb, L"open"),
        Write(kPptExtension, L"PowerPointViewer.Show.11"),
        L"shell.NotifyAssociationsChanged",
        L"view.SetEnabled Command1 false",
        L"msgbox Completed!",
    };
    EXPECT_EQ(Effects(), expected);
    ExpectCompleted();

    const std::map<std::wstring, std::wstring> registry{
        {kPpsExtension, L"PowerPointViewer.SlideShow.11"},
        {kSlideShowVerb, L"open"},
        {kSlideShowCommand, kCommand2007},
        {kPptExtension, L"PowerPointViewer.Show.11"},
        {kShowVerb, L"open"},
        {kShowCommand, kCommand2007},
    };
    EXPECT_EQ(h.world.registry, registry);
}

TEST_F(AssociationRepairTest, SlideShowAloneWritesThreeValuesWithoutProbing) {
    Tick(true, false);
    h.form.OnCommand1Click();

    const std::vector<std::wstring> expected{
        L"fso.FileExists " + kPath2007,
        Write(kSlideShowCommand, kCommand2007),
        Write(kSlideShowVerb, L"open"),
        Write(kPpsExtension, L"PowerPointViewer.SlideShow.11"),
        L"shell.NotifyAssociationsChanged",
        L"view.SetEnabled Command1 false",
        L"msgbox Completed!",
    };
    EXPECT_EQ(Effects(), expected);
    ExpectCompleted();
}

TEST_F(AssociationRepairTest, SlideShowValuesReplaceWhatWasThere) {
    h.world.registry[kPpsExtension] = L"PowerPoint.SlideShow.8";
    h.world.registry[kSlideShowCommand] = L"C:\\old\\viewer.exe \"%1\"";
    Tick(true, false);
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kPpsExtension], L"PowerPointViewer.SlideShow.11");
    EXPECT_EQ(h.world.registry[kSlideShowCommand], kCommand2007);
}

TEST_F(AssociationRepairTest, ExistingPresentationCommandIsLeftAloneEvenWhenEmpty) {
    for (const std::wstring existing : {L"C:\\other.exe \"%1\"", L""}) {
        SCOPED_TRACE(std::string(existing.begin(), existing.end()));
        h.world.registry = {{kShowCommand, existing}};
        h.log.calls.clear();
        h.messageBox.shown.clear();
        h.view.enabled[ControlId::Command1] = true;
        Tick(false, true);
        h.form.OnCommand1Click();

        const std::vector<std::wstring> expected{
            L"fso.FileExists " + kPath2007,
            L"shell.RegRead " + kShowCommand,
            L"view.SetEnabled Command1 false",
            L"msgbox Completed!",
        };
        EXPECT_EQ(Effects(), expected);
        EXPECT_EQ(h.world.registry,
                  (std::map<std::wstring, std::wstring>{{kShowCommand, existing}}));
        ExpectCompleted();
    }
}

TEST_F(AssociationRepairTest, UnreadablePresentationCommandIsWritten) {
    h.world.registry[kShowCommand] = L"something";
    h.world.unreadable.insert(kShowCommand);
    Tick(false, true);
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kShowCommand], kCommand2007);
    EXPECT_EQ(h.world.registry[kPptExtension], L"PowerPointViewer.Show.11");
    ExpectCompleted();
}

TEST_F(AssociationRepairTest, NeitherTypeTickedTouchesNoRegistryButCompletes) {
    Tick(false, false);
    h.form.OnCommand1Click();

    const std::vector<std::wstring> expected{
        L"fso.FileExists " + kPath2007,
        L"view.SetEnabled Command1 false",
        L"msgbox Completed!",
    };
    EXPECT_EQ(Effects(), expected);
    EXPECT_TRUE(h.world.registry.empty());
    EXPECT_EQ(fields().sOpenCommand, kCommand2007);
    ExpectCompleted();
}

TEST_F(AssociationRepairTest, OnlyAValueOfExactlyOneCountsAsTicked) {
    h.view.values[ControlId::Check1] = 2; // grayed
    h.view.values[ControlId::Check2] = 0;
    h.form.OnCommand1Click();

    EXPECT_FALSE(h.log.Contains(L"shell."));
    ExpectCompleted();
}

// --- the executable has gone --------------------------------------------------

TEST_F(AssociationRepairTest, ExecutableDeletedBeforeFixChangesNothing) {
    h.world.files.clear();
    h.world.files[kPath2003] = L"11.0.8173.0";
    h.view.Select(ControlId::Option1);
    h.form.OnOption1Click();
    ASSERT_TRUE(h.view.IsEnabled(ControlId::Command1));
    h.world.files.clear();
    fields().sOpenCommand = L"earlier";
    h.log.calls.clear();

    Tick(true, true);
    h.form.OnCommand1Click();

    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].prompt, L"PowerPoint Viewer application path not found");
    EXPECT_EQ(h.messageBox.shown[0].style, 0);
    EXPECT_FALSE(h.messageBox.shown[0].title.has_value());
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_FALSE(h.log.Contains(L"shell."));
    EXPECT_FALSE(h.log.Contains(L"view.GetCheckValue"));
    EXPECT_EQ(fields().sOpenCommand, L"earlier");
    EXPECT_EQ(fields().sShowCommandKey, L"");
    EXPECT_EQ(fields().sSlideShowCommandKey, L"");
}

// --- a second repair ------------------------------------------------------------

TEST_F(AssociationRepairTest, SecondRepairRewritesSlideShowButKeepsThePresentationCommand) {
    h.world.files[kPath2003] = L"11.0.8173.0";
    fields().sViewerPath = kPath2003;
    Tick(true, true);
    h.form.OnCommand1Click();
    const std::wstring command2003 = L"\"" + kPath2003 + L"\" \"%1\"";
    ASSERT_EQ(h.world.registry[kShowCommand], command2003);

    // The user picks the other version, the check succeeds, "&Fix" again.
    h.view.Select(ControlId::Option2);
    h.form.OnOption2Click();
    ASSERT_EQ(fields().sViewerPath, kPath2007);
    ASSERT_TRUE(h.view.IsEnabled(ControlId::Command1));
    h.log.calls.clear();
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kSlideShowCommand], kCommand2007);
    EXPECT_EQ(h.world.registry[kShowCommand], command2003);
    EXPECT_FALSE(h.log.Contains(Write(kPptExtension, L"PowerPointViewer.Show.11")));
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_EQ(h.messageBox.shown.back().prompt, L"Completed!");
}

// --- a refused write --------------------------------------------------------------

TEST_F(AssociationRepairTest, WriteRefusedAfterTheSecondStopsThereAndKeepsFixEnabled) {
    h.world.refusedWrites[kPpsExtension] = L"Access is denied.";
    Tick(true, true);
    EXPECT_NO_THROW(h.form.OnCommand1Click());

    const std::vector<std::wstring> expected{
        L"fso.FileExists " + kPath2007,
        Write(kSlideShowCommand, kCommand2007),
        Write(kSlideShowVerb, L"open"),
        Write(kPpsExtension, L"PowerPointViewer.SlideShow.11"),
        L"shell.NotifyAssociationsChanged",
        L"msgbox The file association could not be saved.\n"
        L"Registry value: HKCR\\.pps\\\n"
        L"Reason: Access is denied.",
    };
    EXPECT_EQ(Effects(), expected);
    EXPECT_EQ(h.world.registry, (std::map<std::wstring, std::wstring>{
                                    {kSlideShowCommand, kCommand2007},
                                    {kSlideShowVerb, L"open"},
                                }));
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].style, 16);
    EXPECT_EQ(h.messageBox.shown[0].title, std::optional<std::wstring>(L"Dovrel for Windows XP"));
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(AssociationRepairTest, FixCanBePressedAgainAfterARefusal) {
    h.world.refusedWrites[kSlideShowVerb] = L"Access is denied.";
    Tick(true, true);
    h.form.OnCommand1Click();
    EXPECT_EQ(h.world.registry, (std::map<std::wstring, std::wstring>{
                                    {kSlideShowCommand, kCommand2007},
                                }));
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].prompt,
              L"The file association could not be saved.\n"
              L"Registry value: HKCR\\PowerPointViewer.SlideShow.11\\shell\\\n"
              L"Reason: Access is denied.");

    h.world.refusedWrites.clear();
    h.messageBox.shown.clear();
    h.form.OnCommand1Click();
    ExpectCompleted();
    EXPECT_EQ(h.world.registry.size(), 6u);
}

TEST_F(AssociationRepairTest, RefusalInThePresentationValuesKeepsTheEarlierOnes) {
    h.world.refusedWrites[kShowVerb] = L"Access is denied.";
    Tick(true, true);
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry, (std::map<std::wstring, std::wstring>{
                                    {kSlideShowCommand, kCommand2007},
                                    {kSlideShowVerb, L"open"},
                                    {kPpsExtension, L"PowerPointViewer.SlideShow.11"},
                                    {kShowCommand, kCommand2007},
                                }));
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].prompt,
              L"The file association could not be saved.\n"
              L"Registry value: HKCR\\PowerPointViewer.Show.11\\shell\\\n"
              L"Reason: Access is denied.");
    EXPECT_TRUE(h.log.Contains(L"shell.NotifyAssociationsChanged"));
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

TEST_F(AssociationRepairTest, NoNotificationWhenTheFirstWriteIsRefused) {
    h.world.refusedWrites[kSlideShowCommand] = L"Access is denied.";
    Tick(true, true);
    h.form.OnCommand1Click();

    EXPECT_TRUE(h.world.registry.empty());
    EXPECT_FALSE(h.log.Contains(L"shell.NotifyAssociationsChanged"));
    EXPECT_FALSE(h.log.Contains(L"shell.RegRead")); // nothing after the refused write
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
}

// --- the probe --------------------------------------------------------------------

TEST_F(AssociationRepairTest, ProbeAnswersWhetherTheValueCanBeRead) {
    h.world.registry[L"HKCR\\present\\"] = L"x";
    h.world.registry[L"HKCR\\empty\\"] = L"";
    h.world.registry[L"HKCR\\locked\\"] = L"x";
    h.world.unreadable.insert(L"HKCR\\locked\\");

    EXPECT_TRUE(h.form.RegValueExists(L"HKCR\\present\\"));
    EXPECT_TRUE(h.form.RegValueExists(L"HKCR\\empty\\"));
    EXPECT_FALSE(h.form.RegValueExists(L"HKCR\\missing\\"));
    EXPECT_FALSE(h.form.RegValueExists(L"HKCR\\locked\\"));
}

} // namespace
} // namespace dovrel::testing
