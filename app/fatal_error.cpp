#include "app/fatal_error.h"

#include <new>
#include <stdexcept>

#include "platform/platform_error.h"

namespace dovrel {

namespace {

constexpr wchar_t kHeadline[] = L"Dovrel has to close because an operation failed.";
constexpr wchar_t kUnnamedOperation[] = L"(not named)";
constexpr wchar_t kNoReason[] = L"No reason was given.";
constexpr wchar_t kInternalStep[] = L"An internal step of the program";
constexpr wchar_t kOutOfMemory[] = L"There is not enough memory.";

// Exception texts are narrow and meant for developers; keep their printable
// ASCII and mark anything else, rather than guess at a code page.
std::wstring WidenAscii(const char* text) {
    std::wstring wide;
    for (const char* p = text; p && *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        wide.push_back(byte >= 0x20 && byte < 0x7F ? static_cast<wchar_t>(byte) : L'?');
    }
    return wide;
}

// Prompts break lines with a line feed alone; system texts may carry CR LF.
std::wstring LineFeedsOnly(const std::wstring& text) {
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r')
            result.push_back(text[i]);
        else if (i + 1 >= text.size() || text[i + 1] != L'\n')
            result.push_back(L'\n');
    }
    return result;
}

} // namespace

std::wstring FatalErrorPrompt(const std::wstring& operation, const std::wstring& reason) {
    std::wstring prompt = kHeadline;
    prompt += L"\n\nOperation: ";
    prompt += operation.empty() ? kUnnamedOperation : LineFeedsOnly(operation);
    prompt += L"\nReason: ";
    prompt += reason.empty() ? kNoReason : LineFeedsOnly(reason);
    return prompt;
}

std::wstring FatalErrorPrompt(std::exception_ptr error) {
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const PlatformError& platformError) {
        return FatalErrorPrompt(platformError.operation(), platformError.reason());
    } catch (const std::bad_alloc&) {
        return FatalErrorPrompt(kInternalStep, kOutOfMemory);
    } catch (const std::exception& other) {
        return FatalErrorPrompt(kInternalStep, WidenAscii(other.what()));
    } catch (...) {
    }
    return FatalErrorPrompt(kInternalStep, std::wstring());
}

} // namespace dovrel
