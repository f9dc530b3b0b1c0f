#include <windows.h>

#include <vector>

#include "app/win32/fatal_error_box.h"
#include "app/win32/resource_ids.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_platform_objects.h"
#include "platform/win32/win32_security_api.h"
#include "platform/win32/win32_shell_execute.h"
#include "platform/win32/win32_version_record_source.h"
#include "ui/click_events.h"
#include "ui/form1.h"
#include "ui/win32/main_window.h"

namespace dovrel {

namespace {

// Takes the current directory out of the DLL search path before anything is
// loaded, so a DLL lying there never runs with the user's rights. Looked up
// rather than imported: XP without a service pack lacks it, and must still be
// told in words that it is not supported.
void LeaveTheCurrentDirectoryOutOfDllSearches() {
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    const auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryW")));
    if (setDllDirectory)
        setDllDirectory(L"");
}

void Run(HINSTANCE instance) {
    // Making and showing the window has the system load these by bare name.
    const std::vector<UniqueModule> windowDlls = PreloadDlls(DllStage::Window);
    MainWindow window(instance, instance, DOVREL_ICON_ID);
    Win32MessageBox messageBox;
    messageBox.SetOwner(window.handle());
    Win32PlatformObjects objects(window.handle());
    Win32VersionRecordSource versionRecord;
    Win32SecurityApi security;
    Win32ShellExecute shellExecute;
    // Declared after the window, so the form and its objects go first.
    Form1 form(FormServices{window, messageBox, versionRecord, security, objects, shellExecute});
    window.SetClickHandler([&form](ControlId id) { DispatchClick(form, id); });

    form.OnLoad();
    window.RunMessageLoop();
}

} // namespace

} // namespace dovrel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace dovrel;
    LeaveTheCurrentDirectoryOutOfDllSearches();
    return RunReportingFailure([instance] { Run(instance); });
}
