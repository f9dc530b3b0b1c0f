#pragma once

#include <vector>

#include "platform/shell_execute.h"
#include "tests/unit/fakes/call_log.h"

namespace dovrel::testing {

struct ShellExecuteCall {
    WindowHandle owner;
    std::wstring operation, file, parameters, directory;
    std::int32_t showCommand;
};

class FakeShellExecute : public IShellExecute {
public:
    explicit FakeShellExecute(CallLog& log) : log_(log) {}

    static constexpr WindowHandle kDesktop = 0x10010;

    WindowHandle GetDesktopWindow() override {
        log_.Add(L"GetDesktopWindow");
        return kDesktop;
    }
    std::intptr_t ShellExecuteA(WindowHandle owner, const std::wstring& operation,
                                const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory, std::int32_t showCommand) override {
        log_.Add(L"ShellExecuteA " + file);
        calls.push_back({owner, operation, file, parameters, directory, showCommand});
        return result;
    }

    std::vector<ShellExecuteCall> calls;
    std::intptr_t result = 42;

private:
    CallLog& log_;
};

} // namespace dovrel::testing
