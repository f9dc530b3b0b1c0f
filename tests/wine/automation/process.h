#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "automation/unique_handle.h"

namespace dovrel::automation {

// A program started for a test. Ended (terminated and waited for) when the
// object goes away, so no test leaves a process behind.
class LaunchedProcess {
public:
    // Starts `exe` with `arguments` (already quoted as needed), in
    // `workingDirectory` (empty: this process's). Throws on failure.
    static LaunchedProcess Start(const std::wstring& exe, const std::wstring& arguments = L"",
                                 const std::wstring& workingDirectory = L"");

    LaunchedProcess(LaunchedProcess&&) = default;
    LaunchedProcess& operator=(LaunchedProcess&&) = delete;
    ~LaunchedProcess();

    DWORD id() const { return id_; }
    bool IsRunning() const;

    // The exit code, or nothing when the process is still running after the wait.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

    // Ends the process at once (no-op when it has ended).
    void Terminate();

private:
    LaunchedProcess(UniqueHandle process, DWORD id);

    UniqueHandle process_;
    DWORD id_ = 0;
};

// The full path of every module (the program and its DLLs) loaded in a
// process now, from the tool-help snapshot. Throws when there is none.
std::vector<std::wstring> ModulePathsOf(DWORD processId);

} // namespace dovrel::automation
