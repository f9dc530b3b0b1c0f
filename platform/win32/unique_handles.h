#pragma once

#include <windows.h>

#include <utility>

namespace dovrel {

// Owns one Win32 handle and gives it to `Close` exactly once, when the owner
// goes or takes another; a null handle owns nothing. In the spirit of WIL's
// unique_any: one template, one alias per kind of resource below.
template <typename Handle, auto Close> class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : handle_(handle) {}
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle(); }

    // Gives up ownership without closing.
    Handle release() { return std::exchange(handle_, Handle()); }
    void reset(Handle handle = Handle()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Handle())
            Close(old);
    }
    // For a call that hands out the handle through a pointer: what was owned
    // is closed first.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Handle();
};

inline void ReleaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}

using UniqueModule = UniqueAny<HMODULE, &FreeLibrary>;
using UniqueRegistryKey = UniqueAny<HKEY, &RegCloseKey>;
// What the system allocated for the caller with LocalAlloc (a message text,
// an argument list).
template <typename T> using UniqueLocal = UniqueAny<T*, &LocalFree>;
using UniqueWindow = UniqueAny<HWND, &DestroyWindow>;
using UniqueFont = UniqueAny<HFONT, &DeleteObject>;
using UniqueIcon = UniqueAny<HICON, &DestroyIcon>;
using UniqueScreenDc = UniqueAny<HDC, &ReleaseScreenDc>;

} // namespace dovrel
