#include <gtest/gtest.h>

#include <windows.h>

#include "automation/unique_handle.h"
#include "ui/win32/screen_metrics.h"

namespace dovrel {
namespace {

// The screen's context is one of the system's few common ones: given back, it
// waits in their cache for the next caller; deleted, it is gone and the next
// caller gets another. (A count of GDI objects cannot tell: Wine answers 0.)
TEST(ScreenDpi, GivesTheScreensContextBackToTheCache) {
    const HDC cached = automation::ScreenDc().get();
    for (int i = 0; i < 20; ++i)
        ScreenDpi();
    EXPECT_EQ(automation::ScreenDc().get(), cached);
}

} // namespace
} // namespace dovrel
