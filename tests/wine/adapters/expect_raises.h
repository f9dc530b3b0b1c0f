#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/platform_error.h"

namespace dovrel {

// Fails the test unless `call` raises a PlatformError naming `operation`, with
// a reason that starts with `reasonStart` (any reason at all when it is empty).
inline void ExpectRaises(const std::function<void()>& call, const std::wstring& operation,
                         const std::wstring& reasonStart = L"") {
    try {
        call();
        ADD_FAILURE() << "no PlatformError raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), operation);
        EXPECT_FALSE(error.reason().empty());
        EXPECT_EQ(error.reason().rfind(reasonStart, 0), 0u)
            << ::testing::PrintToString(error.reason());
    }
}

} // namespace dovrel
