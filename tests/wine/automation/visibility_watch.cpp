#include "automation/visibility_watch.h"

#include <algorithm>
#include <stdexcept>

#include "automation/window_query.h"

namespace dovrel::automation {

namespace {

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) {
        EnterCriticalSection(&section_);
    }
    ~Lock() { LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

} // namespace

VisibilityWatch::VisibilityWatch(DWORD processId) : processId_(processId) {
    InitializeCriticalSection(&lock_);
    thread_.reset(CreateThread(nullptr, 0, &VisibilityWatch::Run, this, 0, nullptr));
    if (!thread_) {
        DeleteCriticalSection(&lock_);
        throw std::runtime_error("could not start the window watch thread");
    }
}

VisibilityWatch::~VisibilityWatch() {
    Stop();
    DeleteCriticalSection(&lock_);
}

void VisibilityWatch::Stop() {
    stop_ = true;
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
}

std::vector<std::wstring> VisibilityWatch::WindowsSeen() const {
    Lock lock(lock_);
    return seen_;
}

DWORD WINAPI VisibilityWatch::Run(LPVOID self) {
    auto* watch = static_cast<VisibilityWatch*>(self);
    while (!watch->stop_) {
        watch->Poll();
        Sleep(1);
    }
    watch->Poll(); // a last look, so nothing shown just before Stop is missed
    return 0;
}

void VisibilityWatch::Poll() noexcept {
    try {
        for (HWND window : TopLevelWindowsOf(processId_)) {
            if (!IsWindowVisible(window) || IsMessageBoxWindow(window) ||
                IsFileDialogWindow(window))
                continue;
            Lock lock(lock_);
            if (std::find(seenHandles_.begin(), seenHandles_.end(), window) != seenHandles_.end())
                continue;
            seenHandles_.push_back(window);
            wchar_t title[256] = {};
            GetWindowTextW(window, title, 256); // no message: the owner may be busy
            seen_.push_back(ClassNameOf(window) + L" '" + title + L"'");
        }
    } catch (...) {
        // out of memory while polling: the next poll tries again
    }
}

} // namespace dovrel::automation
