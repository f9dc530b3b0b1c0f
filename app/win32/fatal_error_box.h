#pragma once

#include <functional>
#include <string>

namespace dovrel {

// The critical box shown before the program ends on an error nobody handled.
void ShowFatalErrorBox(const std::wstring& prompt);

// Runs the program. Whatever escapes it is reported in the critical box; the
// exit code says whether anything did (0, or kFatalExitCode).
int RunReportingFailure(const std::function<void()>& program);

} // namespace dovrel
