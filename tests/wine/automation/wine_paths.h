#pragma once

#include <string>

namespace dovrel::automation {

// The value of an environment variable, empty when it is not set.
std::wstring EnvironmentValue(const wchar_t* name);

// "/a/b c" -> "Z:\a\b c": Wine shows the unix root as drive Z:. A path that
// is already a Windows path is returned as it is.
std::wstring WindowsPathOf(const std::wstring& unixOrWindowsPath);

// The program under test (DOVREL_EXE) and the helper programs (DOVREL_FIXTURES),
// as Windows paths. Throw when the variable is missing.
std::wstring DovrelExePath();
std::wstring FixturesFolder(); // no trailing backslash
std::wstring FixturePath(const std::wstring& relativePath);

} // namespace dovrel::automation
