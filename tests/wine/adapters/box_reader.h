#pragma once

#include <windows.h>

#include <optional>

#include "automation/message_box.h"
#include "automation/side_thread.h"
#include "automation/wait.h"

namespace dovrel {

// Reads the message box that this process shows next (title, text, icon and
// owner) from a side thread, then presses OK; meanwhile the test's thread can
// sit in the box's modal loop. Gives up after the reaction time.
class BoxReader {
public:
    BoxReader() : thread_([this] { Read(); }) {}

    std::optional<automation::MessageBoxInfo> box;
    HWND owner = nullptr;

private:
    void Read() {
        box = automation::WaitForMessageBox(GetCurrentProcessId(), automation::kReactionTimeoutMs);
        if (!box)
            return;
        owner = GetWindow(box->hwnd, GW_OWNER);
        automation::PressOk(box->hwnd);
    }

    automation::SideThread thread_; // last: starts once the rest is in place
};

} // namespace dovrel
