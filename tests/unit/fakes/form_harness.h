#pragma once

#include "platform/security_api.h"
#include "platform/version_record.h"
#include "tests/unit/fakes/fake_form_view.h"
#include "tests/unit/fakes/fake_message_box.h"
#include "tests/unit/fakes/fake_shell_execute.h"
#include "tests/unit/fakes/fake_world.h"
#include "ui/form1.h"

namespace dovrel::testing {

// A version source that reports a fixed record.
class FixedVersionRecordSource : public IVersionRecordSource {
public:
    void GetVersionEx(VersionRecord& record) override {
        const std::wstring field = record.csdVersion;
        record = reported;
        record.osVersionInfoSize = kVersionRecordSize;
        std::wstring text = field;
        text.replace(0, reported.csdVersion.size() + 1, reported.csdVersion + L'\0');
        record.csdVersion = text.substr(0, kServicePackFieldLength);
    }
    VersionRecord reported{kVersionRecordSize, 5, 1, 2600, 2, L"Service Pack 3"};
};

// A security API whose every call fails: for tests that never reach the check.
class FailingSecurityApi : public ISecurityApi {
public:
    SystemHandle GetCurrentProcess() override { return 0; }
    int OpenProcessToken(SystemHandle, std::uint32_t, SystemHandle*) override { return 0; }
    int GetTokenInformation(SystemHandle, int, void*, std::uint32_t, std::uint32_t*) override {
        return 0;
    }
    int AllocateAndInitializeSid(const SidIdentifierAuthority&, std::uint8_t,
                                 const std::uint32_t (&)[8], SidPointer*) override {
        return 0;
    }
    int LookupAccountSidA(SidPointer, std::wstring&, std::uint32_t&, std::wstring&,
                          std::uint32_t&, int&) override {
        return 0;
    }
    void FreeSid(SidPointer) override {}
    int CloseHandle(SystemHandle) override { return 1; }
};

// The window's logic with every collaborator faked, and the service objects
// already created, as after a successful start.
struct FormHarness {
    CallLog log;
    FakeWorld world{log};
    FakeFormView view{log};
    FakeMessageBox messageBox{log};
    FixedVersionRecordSource versionRecord;
    FailingSecurityApi security;
    FakePlatformObjects objects{world};
    FakeShellExecute shellExecute{log};
    Form1 form{FormServices{view, messageBox, versionRecord, security, objects, shellExecute}};

    // Puts the service objects in place as start-up would, then forgets the calls.
    void CreateObjects() {
        form.fields().objShell = objects.CreateShell();
        form.fields().objFSO = objects.CreateFileSystem();
        form.fields().objDialog = objects.CreateFileDialog();
        log.calls.clear();
        world.created.clear();
    }
};

} // namespace dovrel::testing
