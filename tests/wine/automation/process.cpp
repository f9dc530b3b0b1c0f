#include "automation/process.h"

#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

namespace dovrel::automation {

constexpr UINT kTerminatedExitCode = 0xDEAD;

LaunchedProcess LaunchedProcess::Start(const std::wstring& exe, const std::wstring& arguments,
                                       const std::wstring& workingDirectory) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                        &info)) {
        const DWORD error = GetLastError();
        throw std::runtime_error("CreateProcessW failed with error " + std::to_string(error));
    }
    UniqueHandle thread(info.hThread);
    return LaunchedProcess(UniqueHandle(info.hProcess), info.dwProcessId);
}

LaunchedProcess::LaunchedProcess(UniqueHandle process, DWORD id)
    : process_(std::move(process)), id_(id) {}

LaunchedProcess::~LaunchedProcess() {
    Terminate();
}

bool LaunchedProcess::IsRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> LaunchedProcess::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code))
        return std::nullopt;
    return code;
}

void LaunchedProcess::Terminate() {
    if (!IsRunning())
        return;
    TerminateProcess(process_.get(), kTerminatedExitCode);
    WaitForSingleObject(process_.get(), 10000);
}

std::vector<std::wstring> ModulePathsOf(DWORD processId) {
    const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (taken == INVALID_HANDLE_VALUE)
        throw std::runtime_error("no module snapshot of process " + std::to_string(processId));
    const UniqueHandle snapshot(taken);
    std::vector<std::wstring> paths;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot.get(), &module); more;
         more = Module32NextW(snapshot.get(), &module))
        paths.push_back(module.szExePath);
    return paths;
}

} // namespace dovrel::automation
