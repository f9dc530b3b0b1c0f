#include <array>
#include <string>

#include "platform/message_box.h"
#include "ui/form1.h"
#include "ui/form_view.h"
#include "viewer/program_files.h"

namespace dovrel {

namespace {

// What tells the two viewer versions apart, in the order the options are read.
struct ViewerVersion {
    ControlId option;
    const wchar_t* pathUnderProgramFiles; // begins with a backslash
    const wchar_t* versionPrefix;         // the first two characters of the file version
    const wchar_t* notFoundLine;
};

constexpr std::array<ViewerVersion, 2> kViewerVersions{{
    {ControlId::Option1, L"\\Microsoft Office\\PowerPoint Viewer\\pptview.exe", L"11",
     L"PowerPoint Viewer 2003 was not found in the system."},
    {ControlId::Option2, L"\\Microsoft Office\\Office12\\pptview.exe", L"12",
     L"PowerPoint Viewer 2007 was not found in the system."},
}};

constexpr wchar_t kLocateLine[] =
    L"If you have installed it in a different path, locate the file path correctly.";

std::wstring NotFoundMessage(const ViewerVersion& version) {
    return std::wstring(version.notFoundLine) + L"\n\n" + kLocateLine;
}

} // namespace

void Form1::OnOption1Click() {
    CheckInstallation();
}

void Form1::OnOption2Click() {
    CheckInstallation();
}

void Form1::CheckInstallation() {
    fields_.sViewerPath.clear();
    fields_.sProgramFiles = fields_.objShell->ExpandEnvironmentStrings(kProgramFilesReference);

    const ViewerVersion* selected = nullptr;
    for (const ViewerVersion& version : kViewerVersions) {
        if (services_.view.GetOptionValue(version.option)) {
            selected = &version;
            break;
        }
    }
    if (!selected)
        return;

    fields_.sViewerPath = fields_.sProgramFiles + selected->pathUnderProgramFiles;
    if (fields_.objFSO->FileExists(fields_.sViewerPath)) {
        fields_.sViewerVersion = fields_.objFSO->GetFileVersion(fields_.sViewerPath);
        if (fields_.sViewerVersion.substr(0, 2) == selected->versionPrefix) {
            services_.view.SetEnabled(ControlId::Command1, true);
            return;
        }
    }

    services_.messageBox.Show(NotFoundMessage(*selected), kMessageOk);
    SelectFile();
}

} // namespace dovrel
