#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "automation/test_files.h"
#include "tests/expected/texts.h"
#include "ui/control_id.h"

// What the tests put in place of the PowerPoint Viewer, and how they open a
// document the way Explorer does.
namespace dovrel::e2e {

// One viewer version as the user sees it and as the tests provide it.
struct ViewerVersionCase {
    const char* name;                 // for test names: "Viewer2003"
    ControlId option;                 // the option button that selects it
    const wchar_t* standIn;           // the stand-in of this version, below DOVREL_FIXTURES
    const wchar_t* underProgramFiles; // its standard place, below %ProgramFiles%
    const wchar_t* logTag;            // how the stand-in begins its log lines
    const wchar_t* notFoundLine;      // the first line of the "not found" message
};

inline void PrintTo(const ViewerVersionCase& version, std::ostream* out) {
    *out << version.name;
}

inline constexpr ViewerVersionCase kViewer2003{"Viewer2003",
                                               ControlId::Option1,
                                               L"viewer11\\pptview.exe",
                                               expected::kViewer2003Below,
                                               L"pptview 11: ",
                                               expected::kNotFound2003Line};
inline constexpr ViewerVersionCase kViewer2007{"Viewer2007",
                                               ControlId::Option2,
                                               L"viewer12\\pptview.exe",
                                               expected::kViewer2007Below,
                                               L"pptview 12: ",
                                               expected::kNotFound2007Line};

// The prefix's program-files folder, expanded.
std::wstring ProgramFiles();
// Where the program looks for this version's pptview.exe.
std::wstring StandardPlaceOf(const ViewerVersionCase& version);
// The stand-in viewer of this version, as built.
std::wstring StandInOf(const ViewerVersionCase& version);

// What a correct repair writes as the open command for a viewer.
std::wstring QuotedOpenCommand(const std::wstring& viewerPath);

// An empty document for a test, with the folders it needs; removed with them at the end.
using ScopedDocument = automation::ScopedFile;

// Opens a document with the shell's "open" verb, as a double click in
// Explorer does, and waits until the program it started has ended. False
// when the shell could not open it or the program did not end in time.
bool OpenWithShell(const std::wstring& document, DWORD timeoutMs);

} // namespace dovrel::e2e
