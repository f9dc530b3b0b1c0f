// The DLL search of Dovrel's process, read from the call that sets it: on XP an
// empty DLL directory takes the current directory out of the search and a null
// one puts it back, while Wine's loader keeps the current directory either way
// and answers GetDllDirectoryW alike for both.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "automation/unique_handle.h"
#include "automation/wait.h"
#include "automation/wine_paths.h"

namespace dovrel::e2e {
namespace {

// What Dovrel, run with this test as its debugger, first gives SetDllDirectoryW
// (at the address it has in this process too: Wine, like XP, maps kernel32 at
// one address in every process).
std::wstring FirstDllDirectoryGiven() {
    auto* const function =
        reinterpret_cast<BYTE*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "SetDllDirectoryW"));
    std::wstring command = L"\"" + automation::DovrelExePath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, nullptr, &startup, &started))
        return L"not started";
    const automation::UniqueHandle process(started.hProcess);
    const automation::UniqueHandle thread(started.hThread);
    std::wstring given = L"not called";
    bool armed = false;
    DEBUG_EVENT event{};
    while (WaitForDebugEvent(&event, automation::kStartTimeoutMs)) {
        DWORD answer = DBG_CONTINUE;
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                answer = DBG_EXCEPTION_NOT_HANDLED;
            } else if (!armed) { // the loader's own, once the program's imports are in
                const BYTE breakpoint = 0xCC;
                armed = WriteProcessMemory(process.get(), function, &breakpoint, 1, nullptr);
                FlushInstructionCache(process.get(), function, 1);
            } else if (record.ExceptionAddress == function &&
                       event.dwThreadId == started.dwThreadId) {
                CONTEXT context{};
                context.ContextFlags = CONTEXT_CONTROL;
                GetThreadContext(thread.get(), &context);
                DWORD text = 0; // the argument, above the return address
                wchar_t first = L'?';
                ReadProcessMemory(process.get(), reinterpret_cast<void*>(context.Esp + 4), &text,
                                  sizeof text, nullptr);
                if (text)
                    ReadProcessMemory(process.get(), reinterpret_cast<void*>(text), &first,
                                      sizeof first, nullptr);
                given = !text ? L"a null pointer" : first ? L"a folder" : L"an empty text";
                TerminateProcess(process.get(), 0);
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            return given;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
    }
    DebugActiveProcessStop(started.dwProcessId); // it went on without the call
    TerminateProcess(process.get(), 1);
    return given;
}

TEST(DllSearch, DovrelTakesTheCurrentDirectoryOutOfIt) {
    EXPECT_EQ(FirstDllDirectoryGiven(), L"an empty text");
}

} // namespace
} // namespace dovrel::e2e
