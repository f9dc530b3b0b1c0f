#pragma once

#include <exception>
#include <string>

namespace dovrel {

// The exit code of a program that ended on an error it could not handle.
inline constexpr int kFatalExitCode = 1;

// The prompt of the critical box shown before the program ends on an error
// nobody handled: what was attempted and the system's reason, one per line.
std::wstring FatalErrorPrompt(const std::wstring& operation, const std::wstring& reason);

// The same for whatever escaped a handler: a PlatformError names its operation
// and reason; anything else is reported as an internal failure.
std::wstring FatalErrorPrompt(std::exception_ptr error);

} // namespace dovrel
