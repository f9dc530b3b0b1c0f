#include "platform/shell_execute.h"
#include "platform/variant.h"
#include "ui/form1.h"

namespace dovrel {

namespace {

// A domain reserved for documentation: no one else can own it, and every
// address below shares it.
constexpr wchar_t kSiteHost[] = L"www.velloc.example";

std::wstring SiteAddress(const wchar_t* path) {
    return std::wstring(L"http://") + kSiteHost + path;
}

constexpr std::int32_t kShowNormal = 1;

} // namespace

void Form1::RunShellExecute(const std::wstring& sTopic, const Variant& sFile,
                            const Variant& sParams, const Variant& sDirectory,
                            std::int32_t nShowCmd) {
    IShellExecute& shell = services_.shellExecute;
    const WindowHandle owner = shell.GetDesktopWindow();
    const std::wstring directory = VariantToText(sDirectory);
    const std::wstring parameters = VariantToText(sParams);
    const std::wstring file = VariantToText(sFile);
    // A shell that cannot open the address leaves the window as it was, so
    // the result is of no use here.
    shell.ShellExecuteA(owner, sTopic, file, parameters, directory, nShowCmd);
}

void Form1::OnCommand2Click() {
    RunShellExecute(L"open", SiteAddress(L"/ppsopen.htm"), std::int32_t{0}, std::int32_t{0},
                    kShowNormal);
}

void Form1::OnImage1Click() {
    RunShellExecute(L"open", SiteAddress(L"/donate.htm"), std::int32_t{0}, std::int32_t{0},
                    kShowNormal);
}

void Form1::OnLabel3Click() {
    RunShellExecute(L"open", SiteAddress(L""), std::int32_t{0}, std::int32_t{0}, kShowNormal);
}

} // namespace dovrel
