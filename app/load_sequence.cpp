#include <string>

#include "gate/admin_check.h"
#include "gate/os_version.h"
#include "platform/message_box.h"
#include "platform/platform_objects.h"
#include "ui/control_table.h"
#include "ui/form1.h"
#include "ui/form_view.h"

namespace dovrel {

namespace {

constexpr wchar_t kPlatformRefusedMessage[] =
    L"This utility was written for Windows XP systems with Service Pack 2 or higher installed.";
constexpr wchar_t kNotAdministratorMessage[] = L"You don't have Administrative privileges.";

constexpr wchar_t kSupportedWindows[] = L"Windows XP";
constexpr wchar_t kServicePack2[] = L"Service Pack 2";
constexpr wchar_t kServicePack3[] = L"Service Pack 3";
constexpr std::size_t kServicePackNameLength = 14;

// Only the start of the service-pack field counts: it carries the NUL and
// whatever followed it in the system's record.
bool IsSupportedPlatform(const std::wstring& versionName, const std::wstring& servicePack) {
    const std::wstring servicePackName = servicePack.substr(0, kServicePackNameLength);
    return versionName == kSupportedWindows &&
           (servicePackName == kServicePack2 || servicePackName == kServicePack3);
}

} // namespace

void Form1::OnLoad() {
    const std::wstring versionName = GetOSVersion(services_.versionRecord);
    if (!IsSupportedPlatform(versionName, sServicePack)) {
        services_.messageBox.Show(kPlatformRefusedMessage, kMessageCritical, kWindowCaption);
        services_.view.EndProgram();
        return;
    }

    if (!IsUserAdmin(services_.security)) {
        services_.messageBox.Show(kNotAdministratorMessage, kMessageInformation, kWindowCaption);
        services_.view.Unload();
        return;
    }

    fields_.objShell = services_.objects.CreateShell();
    fields_.objFSO = services_.objects.CreateFileSystem();
    fields_.objDialog = services_.objects.CreateFileDialog();

    services_.view.Show();
    services_.view.SetOptionValue(ControlId::Option1, false);
    services_.view.SetOptionValue(ControlId::Option2, false);
    services_.view.SetFocus(ControlId::Command2);
}

} // namespace dovrel
