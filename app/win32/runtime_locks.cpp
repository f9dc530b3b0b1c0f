// Linked straight into each Windows program (not through a library, where the
// runtime's own definitions could win).
#include <windows.h>

#include <ext/concurrence.h> // the runtime's lock types (bits/gthr.h)

// GCC 13 and later keep the C++ runtime's locks (the exception allocator
// guards its pool with one) in a libgcc object that also compares threads
// with GetThreadId, which XP's kernel32 lacks: linking that object makes the
// loader refuse the program. These are the same locks, on the same critical
// sections the runtime's header describes, so that object is never needed.
// Older runtimes lay their locks out differently and are left alone.
#if defined(__GLIBCXX__) && defined(__GTHREAD_LEGACY_MUTEX_T)
static_assert(sizeof(__gthread_mutex_t) == sizeof(CRITICAL_SECTION),
              "the runtime's mutex is a critical section");

namespace {
CRITICAL_SECTION* AsCriticalSection(__gthread_mutex_t* mutex) {
    return reinterpret_cast<CRITICAL_SECTION*>(mutex);
}
} // namespace

extern "C" {

void __gthr_win32_mutex_init_function(__gthread_mutex_t* mutex) {
    InitializeCriticalSection(AsCriticalSection(mutex));
}

void __gthr_win32_mutex_destroy(__gthread_mutex_t* mutex) {
    DeleteCriticalSection(AsCriticalSection(mutex));
}

int __gthr_win32_mutex_lock(__gthread_mutex_t* mutex) {
    EnterCriticalSection(AsCriticalSection(mutex));
    return 0;
}

int __gthr_win32_mutex_unlock(__gthread_mutex_t* mutex) {
    LeaveCriticalSection(AsCriticalSection(mutex));
    return 0;
}

} // extern "C"
#endif
