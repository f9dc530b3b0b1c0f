#pragma once

#include <windows.h>

#include <functional>

#include "automation/unique_handle.h"

namespace dovrel::automation {

// Runs `work` on a thread of its own from construction on, so that this thread
// can sit in a modal box or loop meanwhile. Joined when it goes.
class SideThread {
public:
    explicit SideThread(std::function<void()> work);
    ~SideThread() { Join(); }
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;

    // Waits for the work to end, at most kJoinTimeoutMs.
    void Join();

    static constexpr DWORD kJoinTimeoutMs = 30000;

private:
    static DWORD WINAPI Run(LPVOID self);

    std::function<void()> work_;
    UniqueHandle thread_;
};

} // namespace dovrel::automation
