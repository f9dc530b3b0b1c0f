#pragma once

// GoogleTest's thread start signal, built on a Win32 event: mingw-w64's win32
// thread model (the one that keeps programs XP-compatible) has no std::mutex,
// which GoogleTest's own version of this class needs.
#ifdef __cplusplus

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace internal
} // namespace testing

#endif
