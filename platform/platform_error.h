#pragma once

#include <stdexcept>
#include <string>

namespace dovrel {

// Raised by a platform operation that failed. Carries what was attempted and the
// system's own reason, so the top level can tell the user exactly what broke.
class PlatformError : public std::runtime_error {
public:
    PlatformError(std::wstring operation, std::wstring reason)
        : std::runtime_error("platform operation failed"), operation_(std::move(operation)),
          reason_(std::move(reason)) {}

    const std::wstring& operation() const { return operation_; }
    const std::wstring& reason() const { return reason_; }

private:
    std::wstring operation_;
    std::wstring reason_;
};

// Raised when what the operation asked for does not exist (a registry value,
// or the key that would hold it), as opposed to being there but out of reach.
class NotFoundError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

} // namespace dovrel
