#pragma once

// GoogleTest's thread start signal, built on a Win32 event: mingw-w64's win32
// thread model (the one that keeps programs XP-compatible) has no std::mutex,
// which GoogleTest's own version of this class needs.
#ifdef __cplusplus

// GoogleTest includes <condition_variable> and <mutex>. GCC 13 and later give
// the win32 thread model a condition variable, but declare it only for Vista
// and later; these test programs run under Wine alone, so they get it, while
// every Windows header they include still describes XP.
#if defined(__GNUC__) && __GNUC__ >= 13
#pragma push_macro("_WIN32_WINNT")
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <condition_variable>
#include <mutex>
#pragma pop_macro("_WIN32_WINNT")
#endif

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
