#include "platform/win32/win32_file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstdint>
#include <vector>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"

namespace dovrel {

namespace {

// The common dialogs report their own codes, which the system's error texts
// do not cover.
std::wstring DialogErrorText(DWORD code) {
    const wchar_t* meaning = L"the dialog failed";
    switch (code) {
    case CDERR_DIALOGFAILURE:
        meaning = L"the dialog box could not be created";
        break;
    case CDERR_STRUCTSIZE:
        meaning = L"the dialog structure has a wrong size";
        break;
    case CDERR_INITIALIZATION:
        meaning = L"the dialog could not be initialised, probably for lack of memory";
        break;
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
        meaning = L"not enough memory";
        break;
    case FNERR_INVALIDFILENAME:
        meaning = L"a file name is not valid";
        break;
    case FNERR_BUFFERTOOSMALL:
        meaning = L"the chosen path is too long";
        break;
    case FNERR_SUBCLASSFAILURE:
        meaning = L"the list box could not be subclassed, for lack of memory";
        break;
    default:
        break;
    }
    wchar_t hex[16];
    wsprintfW(hex, L"0x%04X", static_cast<unsigned>(code));
    return std::wstring(L"Common dialog error ") + hex + L": " + meaning + L".";
}

} // namespace

std::wstring DialogFilterFromBars(const std::wstring& filter) {
    std::wstring converted = filter;
    for (wchar_t& c : converted)
        if (c == L'|')
            c = L'\0';
    converted.push_back(L'\0');
    converted.push_back(L'\0');
    return converted;
}

std::int16_t Win32FileDialog::ShowOpen() {
    const std::wstring filter = DialogFilterFromBars(filter_);
    // Unexpanded, the dialog falls back to a folder of its own.
    const std::wstring initialDir = ExpandEnvironmentReferences(initialDir_).value_or(initialDir_);
    std::vector<wchar_t> file(kFileNameCapacity, L'\0');

    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner_;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = kFileNameCapacity;
    request.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    request.Flags = static_cast<std::uint16_t>(flags_);

    if (!ole_)
        ole_.emplace();
    if (!library_)
        library_.emplace(L"comdlg32");
    const auto getOpenFileName = library_->Find<decltype(&::GetOpenFileNameW)>("GetOpenFileNameW");
    const auto extendedError =
        library_->Find<decltype(&::CommDlgExtendedError)>("CommDlgExtendedError");

    if (getOpenFileName(&request)) {
        fileName_ = file.data();
        return 1;
    }
    const DWORD error = extendedError();
    if (error != 0)
        throw PlatformError(L"GetOpenFileNameW", DialogErrorText(error));
    return 0;
}

} // namespace dovrel
