#pragma once

#include <string>

#include "platform/variant.h"

// The Windows headers make this name a macro for the W or A function; the
// shell's operation keeps its own name wherever this header is included.
#undef ExpandEnvironmentStrings

namespace dovrel {

// Environment and registry access. Registry value paths are written
// "HKCR\key\path\name", below HKEY_CLASSES_ROOT only; a trailing backslash
// names the key's default value.
// Every operation raises PlatformError when it fails.
class IShell {
public:
    virtual ~IShell() = default;
    virtual std::wstring ExpandEnvironmentStrings(const std::wstring& text) = 0;
    // Returns the value's data as text; raises when the value cannot be read,
    // NotFoundError when it or its key does not exist.
    virtual Variant RegRead(const std::wstring& valuePath) = 0;
    // Creates missing keys on the way. Only "REG_SZ" is supported.
    virtual Variant RegWrite(const std::wstring& valuePath, const std::wstring& data,
                             const std::wstring& type) = 0;
    // Removes that value alone: the key and its other values stay. A value that
    // is not there raises NotFoundError.
    virtual void RemoveValue(const std::wstring& valuePath) = 0;
    // Tells the desktop that file associations changed, so it applies them at
    // once. Raises like the rest when it cannot be sent; callers treat it as
    // best effort, since the desktop takes up the change later anyway.
    virtual void NotifyAssociationsChanged() = 0;
};

} // namespace dovrel
