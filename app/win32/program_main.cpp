#include <windows.h>

#include <ole2.h>

#include <cstdlib>
#include <exception>

#include "app/fatal_error.h"
#include "app/win32/fatal_error_box.h"
#include "app/win32/resource_ids.h"
#include "platform/win32/system_text.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_platform_objects.h"
#include "platform/win32/win32_security_api.h"
#include "platform/win32/win32_shell_execute.h"
#include "platform/win32/win32_version_record_source.h"
#include "ui/form1.h"
#include "ui/win32/main_window.h"

#if defined(__GLIBCXX__)
// The runtime's own handler for an uncaught exception prints the exception's
// type before it aborts, which links in a C++ name demangler and a printf
// engine. A windowed program has nowhere to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif

namespace dovrel {

namespace {

// OLE for this thread, for as long as the program runs (the donation picture
// is decoded through it).
class OleSession {
public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_))
            OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

void RaiseClick(Form1& form, ControlId id) {
    switch (id) {
    case ControlId::Option1:
        form.OnOption1Click();
        break;
    case ControlId::Option2:
        form.OnOption2Click();
        break;
    case ControlId::Command1:
        form.OnCommand1Click();
        break;
    case ControlId::Command2:
        form.OnCommand2Click();
        break;
    case ControlId::Image1:
        form.OnImage1Click();
        break;
    case ControlId::Label3:
        form.OnLabel3Click();
        break;
    default:
        break;
    }
}

int Run(HINSTANCE instance) {
    MainWindow window(instance, instance, DOVREL_ICON_ID);
    Win32MessageBox messageBox;
    messageBox.SetOwner(window.handle());
    Win32PlatformObjects objects(window.handle());
    Win32VersionRecordSource versionRecord;
    Win32SecurityApi security;
    Win32ShellExecute shellExecute;
    // Declared after the window, so the form and its objects go first.
    Form1 form(FormServices{window, messageBox, versionRecord, security, objects, shellExecute});
    window.SetClickHandler([&form](ControlId id) { RaiseClick(form, id); });

    try {
        form.OnLoad();
    } catch (...) {
        ShowFatalErrorBox(window.handle(), FatalErrorPrompt(std::current_exception()));
        return kFatalExitCode;
    }
    if (window.finished())
        return 0;
    return window.RunMessageLoop();
}

} // namespace

} // namespace dovrel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace dovrel;
    const OleSession ole;
    if (FAILED(ole.result())) {
        ShowFatalErrorBox(
            nullptr,
            FatalErrorPrompt(L"Starting OLE", SystemErrorText(static_cast<DWORD>(ole.result()))));
        return kFatalExitCode;
    }
    try {
        return Run(instance);
    } catch (...) {
        ShowFatalErrorBox(nullptr, FatalErrorPrompt(std::current_exception()));
        return kFatalExitCode;
    }
}
