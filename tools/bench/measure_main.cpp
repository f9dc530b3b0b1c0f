// Starts programs alternately and measures each start: the time from
// CreateProcess until its main window is visible, and its memory while the
// window is up; then closes the window with WM_CLOSE.
//
// Usage: bench_measure FIRST RUNS WARMUPS (LABEL EXE TITLE)...
// Prints one line per measured start: "run LABEL INDEX MS PEAK_WS PRIVATE"
// (bytes; rounds are numbered from FIRST, so further batches continue the
// count), or "error LABEL INDEX TEXT" and exits with 1.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "automation/unique_handle.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 15000;

using dovrel::automation::UniqueHandle;

struct Program {
    const wchar_t* label;
    const wchar_t* exe;
    const wchar_t* title;
};

struct Measurement {
    double startupMs = 0;
    SIZE_T peakWorkingSet = 0;
    SIZE_T privateBytes = 0;
};

// What the search of the top-level windows found for one process.
struct WindowSearch {
    DWORD processId;
    const wchar_t* title;
    HWND mainWindow;
    HWND messageBox;
};

BOOL CALLBACK InspectWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wcscmp(className, L"#32770") == 0) {
        search.messageBox = window;
        return TRUE;
    }
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (std::wcscmp(text, search.title) == 0) {
        search.mainWindow = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

std::wstring MessageBoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

// Fills `result`, or returns why the start could not be measured.
std::wstring MeasureOnce(const Program& program, Measurement& result) {
    std::wstring commandLine = L"\"" + std::wstring(program.exe) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};

    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(program.exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return L"cannot start, error " + std::to_wstring(GetLastError());
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);

    WindowSearch search = {info.dwProcessId, program.title, nullptr, nullptr};
    LARGE_INTEGER shown;
    for (;;) {
        search.mainWindow = search.messageBox = nullptr;
        EnumWindows(InspectWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&shown);
        if (search.mainWindow)
            break;
        if (search.messageBox) {
            const std::wstring text = MessageBoxText(search.messageBox);
            TerminateProcess(process.get(), 1);
            return L"showed a message box instead of its window: " + text;
        }
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
            return L"ended without showing its window";
        if (Milliseconds(started, shown) > kStartTimeoutMs) {
            TerminateProcess(process.get(), 1);
            return L"no visible window titled \"" + std::wstring(program.title) + L"\"";
        }
        Sleep(1);
    }
    result.startupMs = Milliseconds(started, shown);

    // Memory once the first messages (painting included) are handled.
    WaitForInputIdle(process.get(), 5000);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        TerminateProcess(process.get(), 1);
        return L"no memory figures, error " + std::to_wstring(GetLastError());
    }
    result.peakWorkingSet = counters.PeakWorkingSetSize;
    // PagefileUsage is the same commit charge; some systems leave PrivateUsage 0.
    result.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;

    PostMessageW(search.mainWindow, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), kCloseTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return L"did not end after WM_CLOSE";
    }
    return std::wstring();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7 || (argc - 4) % 3 != 0) {
        std::fwprintf(stderr, L"usage: bench_measure FIRST RUNS WARMUPS (LABEL EXE TITLE)...\n");
        return 2;
    }
    const int first = std::wcstol(argv[1], nullptr, 10);
    const int runs = std::wcstol(argv[2], nullptr, 10);
    const int warmups = std::wcstol(argv[3], nullptr, 10);
    std::vector<Program> programs;
    for (int i = 4; i + 2 < argc; i += 3)
        programs.push_back({argv[i], argv[i + 1], argv[i + 2]});

    // Alternating, so a slow moment of the machine hits all programs alike;
    // the warm-up starts fill the system's caches and are not reported.
    for (int run = -warmups; run < runs; ++run) {
        for (const Program& program : programs) {
            const int index = run < 0 ? run : first + run; // warm-ups stay negative
            Measurement measurement;
            const std::wstring failure = MeasureOnce(program, measurement);
            if (!failure.empty()) {
                std::wprintf(L"error %ls %d %ls\n", program.label, index, failure.c_str());
                std::fflush(stdout);
                return 1;
            }
            if (run < 0)
                continue;
            std::wprintf(L"run %ls %d %.1f %lu %lu\n", program.label, index, measurement.startupMs,
                         static_cast<unsigned long>(measurement.peakWorkingSet),
                         static_cast<unsigned long>(measurement.privateBytes));
            std::fflush(stdout);
        }
    }
    return 0;
}
