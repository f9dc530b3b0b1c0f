#pragma once

#include <string>
#include <vector>

namespace dovrel::testing {

// One ordered record of the calls every fake saw, so tests can check order
// across objects ("message shown, then dialog opened").
struct CallLog {
    std::vector<std::wstring> calls;
    void Add(std::wstring call) { calls.push_back(std::move(call)); }
    bool Contains(const std::wstring& prefix) const {
        for (const auto& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    }
};

} // namespace dovrel::testing
