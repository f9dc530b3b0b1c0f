#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dovrel::testing {

// One ordered record of the calls every fake saw, so tests can check order
// across objects ("message shown, then dialog opened").
struct CallLog {
    std::vector<std::wstring> calls;
    void Add(std::wstring call) { calls.push_back(std::move(call)); }
    bool Contains(const std::wstring& prefix) const { return First(prefix) != kNone; }
    // Where the first or the last call with that prefix stands; kNone when none.
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t First(const std::wstring& prefix) const {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].compare(0, prefix.size(), prefix) == 0)
                return i;
        return kNone;
    }
    std::size_t Last(const std::wstring& prefix) const {
        for (std::size_t i = calls.size(); i-- > 0;)
            if (calls[i].compare(0, prefix.size(), prefix) == 0)
                return i;
        return kNone;
    }
};

} // namespace dovrel::testing
