#include <cstdint>

#include "ui/form1.h"
#include "ui/form_view.h"
#include "viewer/program_files.h"

namespace dovrel {

namespace {

constexpr wchar_t kExecutableFilter[] = L"EXE Files(*.exe)|*.exe";
constexpr std::int16_t kHideReadOnlyFlag = 4; // OFN_HIDEREADONLY
constexpr std::int32_t kCancelled = 0;

} // namespace

void Form1::SelectFile() {
    fields_.sViewerPath.clear();

    IFileDialog& dialog = *fields_.objDialog;
    // Set up again on every call, so nothing from an earlier call carries over.
    dialog.SetInitialDir(kProgramFilesReference);
    dialog.SetFilter(kExecutableFilter);
    dialog.SetFlags(kHideReadOnlyFlag);
    fields_.vDialogResult = static_cast<std::int32_t>(dialog.ShowOpen());

    if (fields_.vDialogResult == Variant(kCancelled)) {
        ForgetViewerChoice();
        return;
    }
    fields_.sViewerPath = dialog.FileName();
    services_.view.SetEnabled(ControlId::Command1, true);
}

// Back to "no version chosen": the user starts over by picking one.
void Form1::ForgetViewerChoice() {
    fields_.sViewerPath.clear();
    services_.view.SetOptionValue(ControlId::Option1, false);
    services_.view.SetOptionValue(ControlId::Option2, false);
    services_.view.SetEnabled(ControlId::Command1, false);
}

} // namespace dovrel
