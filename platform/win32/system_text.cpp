#include "platform/win32/system_text.h"

#include "platform/decimal_text.h"
#include "platform/win32/unique_handles.h"

namespace dovrel {

std::wstring SystemErrorText(DWORD code) {
    wchar_t* raw = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    const UniqueLocal<wchar_t> owned(raw);
    if (length == 0 || !raw)
        return L"Error " + DecimalText(code);
    std::wstring text(raw, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text) {
    return TextFromSystem([&](wchar_t* buffer, DWORD capacity) {
        return ExpandEnvironmentStringsW(text.c_str(), buffer, capacity);
    });
}

std::string WideToAnsi(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int wideLength = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int ansiLength = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, &out[0], size);
    return out;
}

} // namespace dovrel
