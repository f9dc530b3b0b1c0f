#pragma once

#include <windows.h>

#include <string>

namespace dovrel::automation {

// A key whose values nobody may set: created with an access list that denies
// everyone KEY_SET_VALUE (the registry enforces it for administrators too).
// Lift() or the end of the object deletes the key again.
class ScopedWriteRefusal {
public:
    ScopedWriteRefusal(HKEY root, std::wstring key);
    ~ScopedWriteRefusal();
    ScopedWriteRefusal(const ScopedWriteRefusal&) = delete;
    ScopedWriteRefusal& operator=(const ScopedWriteRefusal&) = delete;

    void Lift();

private:
    HKEY root_;
    std::wstring key_;
    bool lifted_ = false;
};

} // namespace dovrel::automation
