#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace dovrel {

// The system's own description of an error code, without the trailing line
// break; "Error <code>" when the system has none.
std::wstring SystemErrorText(DWORD code);

// The text a system call writes into a caller's buffer, the buffer grown until
// it fits. `call(buffer, capacity)` answers 0 on failure, else a length below
// the capacity once the text fits, or the capacity it needs. Empty on failure.
template <typename Call> std::optional<std::wstring> TextFromSystem(Call call) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD answer = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (answer == 0)
            return std::nullopt;
        if (answer < buffer.size())
            return std::wstring(buffer.data());
        buffer.resize(std::size_t{answer} + 1);
    }
}

// `text` with its %name% references to the environment replaced; empty when
// the system cannot expand it.
std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text);

// Conversions through the system's ANSI code page, for the few calls that
// take ANSI text. Every character of the input is converted, NULs included.
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

} // namespace dovrel
