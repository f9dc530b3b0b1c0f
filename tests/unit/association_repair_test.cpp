#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/expected/texts.h"
#include "tests/unit/fakes/form_harness.h"

namespace dovrel::testing {
namespace {

const std::wstring kPath2003 = expected::kViewer2003Path;
const std::wstring kPath2007 = expected::kViewer2007Path;
const std::wstring kCommand2007 =
    L"\"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe\" \"%1\"";

const std::wstring kSlideShowCommand = expected::kSlideShowCommandPath;
const std::wstring kSlideShowVerb = expected::kSlideShowVerbPath;
const std::wstring kPpsExtension = expected::kPpsExtensionPath;
const std::wstring kShowCommand = expected::kShowCommandPath;
const std::wstring kShowVerb = expected::kShowVerbPath;
const std::wstring kPptExtension = expected::kPptExtensionPath;
const std::wstring kSlideShowClass = expected::kSlideShowClass;
const std::wstring kShowClass = expected::kShowClass;

std::wstring Write(const std::wstring& path, const std::wstring& data) {
    return L"shell.RegWrite " + path + L" = " + data + L" (REG_SZ)";
}

using Registry = std::map<std::wstring, std::wstring>;

const Registry kBothTypesRepaired{
    {kPpsExtension, kSlideShowClass}, {kSlideShowVerb, L"open"}, {kSlideShowCommand, kCommand2007},
    {kPptExtension, kShowClass},      {kShowVerb, L"open"},      {kShowCommand, kCommand2007},
};

// As after a successful check of the 2007 viewer, with both types ticked.
void ArrangeFoundViewer(FormHarness& h) {
    h.CreateObjects();
    h.world.files[kPath2007] = L"12.0.4518.1014";
    h.form.fields().sViewerPath = kPath2007;
    h.view.Select(ControlId::Option2);
    h.view.enabled[ControlId::Command1] = true;
    h.view.Tick(ControlId::Check1, true);
    h.view.Tick(ControlId::Check2, true);
}

void ExpectCompleted(FormHarness& h) {
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    ExpectOnlyMessage(h.messageBox, {expected::kCompleted, 0, expected::kTitle});
}

class AssociationRepairTest : public ::testing::Test {
protected:
    void SetUp() override {
        ArrangeFoundViewer(h);
        h.messageBox.onShow = [this](const ShownMessage&) {
            fixEnabledUnderMessage = h.view.IsEnabled(ControlId::Command1);
        };
    }

    void Tick(bool slideShow, bool presentation) {
        h.view.Tick(ControlId::Check1, slideShow);
        h.view.Tick(ControlId::Check2, presentation);
    }

    std::vector<std::wstring> ShellCalls() const {
        std::vector<std::wstring> out;
        for (const std::wstring& call : h.log.calls)
            if (call.rfind(L"shell.", 0) == 0)
                out.push_back(call);
        return out;
    }

    // The user could not press "&Fix" again while "Completed!" was shown.
    void ExpectCompleted() {
        dovrel::testing::ExpectCompleted(h);
        EXPECT_EQ(fixEnabledUnderMessage, std::optional<bool>(false));
    }

    FormFields& fields() { return h.form.fields(); }

    FormHarness h;
    std::optional<bool> fixEnabledUnderMessage;
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

// The shell rewrites a per-cent sign followed by a digit, a letter or a name
// anywhere in a command; the short form of the path stands in for it.
TEST(AssociationRepairPerCent, TheCommandNeverHoldsAPerCentSignOfTheViewerPath) {
    struct Case {
        std::wstring viewer;
        std::wstring shortForm; // what the system gives as its short form
        std::optional<std::wstring> command;
    };
    const Case cases[] = {
        {L"C:\\Viewers\\pptview.exe", L"C:\\VIEWERS\\pptview.exe",
         L"\"C:\\Viewers\\pptview.exe\" \"%1\""},
        {L"C:\\Downloads\\PowerPoint%20Viewer\\pptview.exe", L"C:\\DOWN~NTG\\POWE~2NL\\pptview.exe",
         L"\"C:\\DOWN~NTG\\POWE~2NL\\pptview.exe\" \"%1\""},
        {L"C:\\100%\\pptview.exe", L"C:\\100%\\pptview.exe", std::nullopt},
        {L"C:\\%windir%\\pptview.exe", L"", std::nullopt}, // no short form at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.viewer.begin(), c.viewer.end()));
        FormHarness h;
        ArrangeFoundViewer(h);
        h.world.files = {{c.viewer, L"12.0.4518.1014"}};
        h.world.shortPaths[c.viewer] = c.shortForm;
        h.form.fields().sViewerPath = c.viewer;
        h.form.OnCommand1Click();

        if (c.command) {
            EXPECT_EQ(h.form.fields().sOpenCommand, *c.command);
            EXPECT_EQ(h.world.registry[kSlideShowCommand], *c.command);
            EXPECT_EQ(h.world.registry[kShowCommand], *c.command);
            ExpectCompleted(h);
            continue;
        }
        EXPECT_TRUE(h.world.registry.empty());
        EXPECT_EQ(h.form.fields().sOpenCommand, L"");
        // As after a cancelled file dialog: no version chosen, "&Fix" disabled.
        EXPECT_FALSE(h.view.IsSelected(ControlId::Option2));
        EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
        EXPECT_EQ(h.form.fields().sViewerPath, L"");
        ExpectOnlyMessage(
            h.messageBox,
            {L"The viewer cannot be registered from where it is now:\n" + c.viewer +
                 L"\n\nWindows would take the per-cent sign (%) in this path for a "
                 L"placeholder and not find the viewer. Move the viewer, or rename the "
                 L"folder, so that its path has no per-cent sign; then choose the viewer "
                 L"version again and press Fix.",
             48, expected::kTitle});

        // The advice followed: viewer moved to its standard place, version chosen again.
        h.world.files = {{kPath2007, L"12.0.4518.1014"}};
        h.view.Select(ControlId::Option2);
        h.form.OnOption2Click();
        h.messageBox.shown.clear();
        h.form.OnCommand1Click();
        ExpectCompleted(h);
        EXPECT_EQ(h.world.registry, kBothTypesRepaired);
    }
}

// --- which values are written, in which order --------------------------------

TEST_F(AssociationRepairTest, BothTypesWriteSixValuesWithTheProbeBetweenThirdAndFourth) {
    Tick(true, true);
    h.form.OnCommand1Click();

    const std::vector<std::wstring> expected{
        Write(kSlideShowCommand, kCommand2007), Write(kSlideShowVerb, L"open"),
        Write(kPpsExtension, kSlideShowClass),  L"shell.RegRead " + kShowCommand,
        Write(kShowCommand, kCommand2007),      Write(kShowVerb, L"open"),
        Write(kPptExtension, kShowClass),       L"shell.NotifyAssociationsChanged",
    };
    EXPECT_EQ(ShellCalls(), expected);
    ExpectCompleted();
    EXPECT_EQ(h.world.registry, kBothTypesRepaired);
}

TEST_F(AssociationRepairTest, SlideShowAloneWritesThreeValuesWithoutProbing) {
    Tick(true, false);
    h.form.OnCommand1Click();

    const std::vector<std::wstring> expected{
        Write(kSlideShowCommand, kCommand2007),
        Write(kSlideShowVerb, L"open"),
        Write(kPpsExtension, kSlideShowClass),
        L"shell.NotifyAssociationsChanged",
    };
    EXPECT_EQ(ShellCalls(), expected);
    ExpectCompleted();
}

TEST_F(AssociationRepairTest, SlideShowValuesReplaceWhatWasThere) {
    h.world.registry[kPpsExtension] = L"PowerPoint.SlideShow.8";
    h.world.registry[kSlideShowCommand] = L"C:\\old\\viewer.exe \"%1\"";
    Tick(true, false);
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kPpsExtension], kSlideShowClass);
    EXPECT_EQ(h.world.registry[kSlideShowCommand], kCommand2007);
}

TEST_F(AssociationRepairTest, ExistingPresentationCommandIsLeftAloneEvenWhenEmpty) {
    for (const std::wstring existing : {L"C:\\other.exe \"%1\"", L""}) {
        SCOPED_TRACE(std::string(existing.begin(), existing.end()));
        h.world.registry = {{kShowCommand, existing}};
        h.messageBox.shown.clear();
        h.view.enabled[ControlId::Command1] = true;
        Tick(false, true);
        h.form.OnCommand1Click();

        EXPECT_EQ(h.world.registry, (Registry{{kShowCommand, existing}}));
        ExpectCompleted();
    }
}

TEST_F(AssociationRepairTest, UnreadablePresentationCommandIsWritten) {
    h.world.registry[kShowCommand] = L"something";
    h.world.unreadable.insert(kShowCommand);
    Tick(false, true);
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kShowCommand], kCommand2007);
    EXPECT_EQ(h.world.registry[kPptExtension], kShowClass);
    ExpectCompleted();
}

TEST_F(AssociationRepairTest, NeitherTypeTickedTouchesNoRegistryButCompletes) {
    Tick(false, false);
    h.form.OnCommand1Click();

    EXPECT_EQ(ShellCalls(), std::vector<std::wstring>{});
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

TEST_F(AssociationRepairTest, NotificationThatCannotBeSentStillCompletes) {
    h.world.notificationFails = true;
    EXPECT_NO_THROW(h.form.OnCommand1Click());

    EXPECT_EQ(h.world.registry, kBothTypesRepaired);
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

    ExpectOnlyMessage(h.messageBox, {expected::kPathNotFound, 0, std::nullopt});
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
    EXPECT_FALSE(h.log.Contains(Write(kPptExtension, kShowClass)));
    EXPECT_FALSE(h.view.IsEnabled(ControlId::Command1));
    EXPECT_EQ(h.messageBox.shown.back(), (ShownMessage{expected::kCompleted, 0, expected::kTitle}));
}

// --- a refused write --------------------------------------------------------------

// The values each refusal leaves: the earlier writes of the press, except a
// presentation command the press itself wrote. Then the refusal is lifted
// and "&Fix" pressed again.
struct Refusal {
    std::wstring refused;
    Registry left;
    bool notified;
    // The presentation command was there but could not be read: the probe's
    // failure proves nothing was missing, so what the press wrote stays.
    bool commandUnreadable = false;
    // The command the press wrote could not be removed again either.
    bool withdrawalRefused = false;
};

TEST(AssociationRepairRefusal, IsReportedKeepsFixEnabledAndTheNextPressRepairsBothTypes) {
    const Registry slideShow{{kSlideShowCommand, kCommand2007},
                             {kSlideShowVerb, L"open"},
                             {kPpsExtension, kSlideShowClass}};
    Registry slideShowAndVerb = slideShow;
    slideShowAndVerb[kShowVerb] = L"open";
    Registry slideShowAndCommand = slideShow;
    slideShowAndCommand[kShowCommand] = kCommand2007;
    Registry slideShowVerbAndCommand = slideShowAndVerb;
    slideShowVerbAndCommand[kShowCommand] = kCommand2007;
    const Refusal refusals[] = {
        {kSlideShowCommand, {}, false},
        {kSlideShowVerb, {{kSlideShowCommand, kCommand2007}}, true},
        {kPpsExtension, {{kSlideShowCommand, kCommand2007}, {kSlideShowVerb, L"open"}}, true},
        {kShowCommand, slideShow, true},
        {kShowVerb, slideShow, true},
        {kPptExtension, slideShowAndVerb, true},
        {kShowVerb, slideShowAndCommand, true, true},
        {kPptExtension, slideShowVerbAndCommand, true, true},
        {kPptExtension, slideShowVerbAndCommand, true, false, true},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(std::string(r.refused.begin(), r.refused.end()) +
                     (r.commandUnreadable ? " over an unreadable command" : "") +
                     (r.withdrawalRefused ? " not withdrawn" : ""));
        FormHarness h;
        ArrangeFoundViewer(h);
        if (r.commandUnreadable) {
            h.world.registry[kShowCommand] = L"C:\\old viewer.exe \"%1\"";
            h.world.unreadable.insert(kShowCommand);
        }
        h.world.refusedWrites[r.refused] = L"Access is denied.";
        if (r.withdrawalRefused)
            h.world.refusedDeletes[kShowCommand] = L"The registry is locked.";
        EXPECT_NO_THROW(h.form.OnCommand1Click());

        EXPECT_EQ(h.world.registry, r.left);
        EXPECT_EQ(h.log.Contains(L"shell.NotifyAssociationsChanged"), r.notified);
        EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
        std::wstring message = expected::NotSavedMessage(r.refused, L"Access is denied.");
        if (r.withdrawalRefused)
            message += L"\nWritten but could not be removed again: " + kShowCommand +
                       L" (The registry is locked.)";
        ExpectOnlyMessage(h.messageBox, {message, 16, expected::kTitle});

        h.world.refusedWrites.clear();
        h.world.refusedDeletes.clear();
        h.messageBox.shown.clear();
        h.form.OnCommand1Click();
        ExpectCompleted(h);
        EXPECT_EQ(h.world.registry, kBothTypesRepaired);
    }
}

TEST(AssociationRepairRefusal, ACommandThatCannotBeRemovedAgainIsNamedInTheMessage) {
    FormHarness h;
    ArrangeFoundViewer(h);
    h.world.refusedWrites[kPptExtension] = L"Access is denied.";
    h.world.refusedDeletes[kShowCommand] = L"The registry is locked.";
    h.form.OnCommand1Click();

    EXPECT_EQ(h.world.registry[kShowCommand], kCommand2007);
    EXPECT_TRUE(h.view.IsEnabled(ControlId::Command1));
    ExpectOnlyMessage(h.messageBox,
                      {expected::NotSavedMessage(kPptExtension, L"Access is denied.") +
                           L"\nWritten but could not be removed again: " + kShowCommand +
                           L" (The registry is locked.)",
                       16, expected::kTitle});
}

// --- the probe --------------------------------------------------------------------

TEST_F(AssociationRepairTest, ProbeAnswersWhetherTheValueCanBeRead) {
    h.world.registry[L"HKCR\\present\\"] = L"x";
    h.world.registry[L"HKCR\\empty\\"] = L"";
    h.world.registry[L"HKCR\\locked\\"] = L"x";
    h.world.unreadable.insert(L"HKCR\\locked\\");

    EXPECT_TRUE(h.form.RegValueExists(L"HKCR\\present\\"));
    EXPECT_TRUE(h.form.RegValueExists(L"HKCR\\empty\\"));
    bool missing = false;
    EXPECT_FALSE(h.form.RegValueExists(L"HKCR\\missing\\", &missing));
    EXPECT_TRUE(missing);
    EXPECT_FALSE(h.form.RegValueExists(L"HKCR\\locked\\", &missing));
    EXPECT_FALSE(missing) << "refused to be read is not missing";
}

} // namespace
} // namespace dovrel::testing
