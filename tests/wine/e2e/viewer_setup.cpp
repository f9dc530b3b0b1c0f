#include "viewer_setup.h"

#include <shellapi.h>

#include <stdexcept>

#include "automation/unique_handle.h"
#include "automation/wine_paths.h"

namespace dovrel::e2e {

std::wstring ProgramFiles() {
    wchar_t expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsW(L"%ProgramFiles%", expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("could not expand %ProgramFiles%");
    return expanded;
}

std::wstring StandardPlaceOf(const ViewerVersionCase& version) {
    return ProgramFiles() + version.underProgramFiles;
}

std::wstring StandInOf(const ViewerVersionCase& version) {
    return automation::FixturePath(version.standIn);
}

std::wstring QuotedOpenCommand(const std::wstring& viewerPath) {
    return L"\"" + viewerPath + L"\" \"%1\"";
}

bool OpenWithShell(const std::wstring& document, DWORD timeoutMs) {
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = document.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&request))
        return false;
    const automation::UniqueHandle started(request.hProcess);
    if (!started)
        return false;
    return WaitForSingleObject(started.get(), timeoutMs) == WAIT_OBJECT_0;
}

} // namespace dovrel::e2e
