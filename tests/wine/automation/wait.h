#pragma once

#include <windows.h>

namespace dovrel::automation {

// Generous: the first start of a program in a fresh Wine prefix is slow.
inline constexpr DWORD kStartTimeoutMs = 30000;
inline constexpr DWORD kReactionTimeoutMs = 10000;

// Polls until done() holds or the time is up; answers done() at the end.
template <typename Predicate> bool WaitUntil(Predicate&& done, DWORD timeoutMs, DWORD pollMs = 20) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return done();
        Sleep(pollMs);
    }
    return true;
}

} // namespace dovrel::automation
