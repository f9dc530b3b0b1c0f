// Before the first test: the prefix reports Windows XP SP3, whatever an
// interrupted earlier run (killed before its clean-up) left behind.
#include <gtest/gtest.h>

#include "automation/reported_platform.h"

namespace dovrel::e2e {
namespace {

class TestPrefixEnvironment : public testing::Environment {
public:
    void SetUp() override { automation::SetReportedPlatform(automation::kWindowsXpSp3); }
};

// GoogleTest owns the environment from here on.
const testing::Environment* const kRegistered =
    testing::AddGlobalTestEnvironment(new TestPrefixEnvironment);

} // namespace
} // namespace dovrel::e2e
