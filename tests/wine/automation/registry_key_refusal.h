#pragma once

#include <windows.h>

#include <string>

namespace dovrel::automation {

// A key that refuses some access to everyone: created with an access list that
// denies `denied` (KEY_SET_VALUE: nobody may set its values; KEY_QUERY_VALUE:
// nobody may read them). The registry enforces it for administrators too; the
// key can still be deleted. Lift() or the end of the object deletes it again.
class ScopedKeyRefusal {
public:
    ScopedKeyRefusal(HKEY root, std::wstring key, REGSAM denied);
    ~ScopedKeyRefusal();
    ScopedKeyRefusal(const ScopedKeyRefusal&) = delete;
    ScopedKeyRefusal& operator=(const ScopedKeyRefusal&) = delete;

    void Lift();

private:
    HKEY root_;
    std::wstring key_;
    bool lifted_ = false;
};

} // namespace dovrel::automation
