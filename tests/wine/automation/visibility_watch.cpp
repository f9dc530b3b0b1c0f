#include "automation/visibility_watch.h"

#include <algorithm>

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
    try {
        thread_.emplace([this] { Watch(); });
    } catch (...) {
        DeleteCriticalSection(&lock_);
        throw;
    }
}

VisibilityWatch::~VisibilityWatch() {
    stop_ = true;
    thread_.reset();
    DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> VisibilityWatch::WindowsSeen() const {
    Lock lock(lock_);
    return seen_;
}

void VisibilityWatch::Watch() noexcept {
    while (!stop_) {
        Poll();
        Sleep(1);
    }
    Poll(); // a last look, so nothing shown just before the end is missed
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
