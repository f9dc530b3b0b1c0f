#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "automation/side_thread.h"

namespace dovrel::automation {

// Watches, from a thread of its own, which top-level windows of a process are
// ever visible, message boxes and file dialogs excepted. Polls every
// millisecond or so from construction until destruction.
class VisibilityWatch {
public:
    explicit VisibilityWatch(DWORD processId);
    ~VisibilityWatch();
    VisibilityWatch(const VisibilityWatch&) = delete;
    VisibilityWatch& operator=(const VisibilityWatch&) = delete;

    // "class 'title'" of each window seen visible, once each.
    std::vector<std::wstring> WindowsSeen() const;

private:
    void Watch() noexcept;
    void Poll() noexcept;

    DWORD processId_;
    std::atomic<bool> stop_{false};
    mutable CRITICAL_SECTION lock_;
    std::vector<HWND> seenHandles_;
    std::vector<std::wstring> seen_;
    std::optional<SideThread> thread_;
};

} // namespace dovrel::automation
