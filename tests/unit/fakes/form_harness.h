#pragma once

#include "tests/unit/fakes/fake_form_view.h"
#include "tests/unit/fakes/fake_message_box.h"
#include "tests/unit/fakes/fake_security_api.h"
#include "tests/unit/fakes/fake_shell_execute.h"
#include "tests/unit/fakes/fake_version_record_source.h"
#include "tests/unit/fakes/fake_world.h"
#include "ui/form1.h"

namespace dovrel::testing {

// The window's logic with every collaborator faked: Windows XP SP3 and an
// administrator, until a test says otherwise.
struct FormHarness {
    FormHarness() { security.groups = {{L"Everyone", L""}, {L"Administrators"}, {L"Users"}}; }

    CallLog log;
    FakeWorld world{log};
    FakeFormView view{log};
    FakeMessageBox messageBox{log};
    FakeVersionRecordSource versionRecord{log};
    FakeSecurityApi security{log};
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
