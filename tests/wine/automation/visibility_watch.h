#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "automation/unique_handle.h"

namespace dovrel::automation {

// Watches, from a thread of its own, which top-level windows of a process are
// ever visible, message boxes and file dialogs excepted. Polls every
// millisecond or so from construction until destruction (or Stop).
class VisibilityWatch {
public:
    explicit VisibilityWatch(DWORD processId);
    ~VisibilityWatch();
    VisibilityWatch(const VisibilityWatch&) = delete;
    VisibilityWatch& operator=(const VisibilityWatch&) = delete;

    void Stop();
    // "class 'title'" of each window seen visible, once each.
    std::vector<std::wstring> WindowsSeen() const;

private:
    static DWORD WINAPI Run(LPVOID self);
    void Poll() noexcept;

    DWORD processId_;
    std::atomic<bool> stop_{false};
    mutable CRITICAL_SECTION lock_;
    std::vector<HWND> seenHandles_;
    std::vector<std::wstring> seen_;
    UniqueHandle thread_;
};

} // namespace dovrel::automation
