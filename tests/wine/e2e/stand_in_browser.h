#pragma once

#include <string>
#include <vector>

#include "automation/test_files.h"
#include "automation/wine_paths.h"
#include "classes_registry.h"
#include "fixtures/fixture_logs.h"
#include "tests/expected/texts.h"
#include "viewer_setup.h"

namespace dovrel::e2e {

// The keys a repair writes below HKEY_CLASSES_ROOT.
inline std::vector<std::wstring> AssociationKeys() {
    return {L".pps", L".ppt", expected::kSlideShowClass, expected::kShowClass};
}

// The URL logger as the prefix's web browser while it lives; the addresses
// handed to it are in `log`.
struct StandInBrowser {
    automation::ScopedLog log{fixtures::kUrlLog};
    ScopedDefaultValue handler{L"http\\shell\\open\\command",
                               QuotedOpenCommand(automation::FixturePath(L"url_logger.exe"))};
};

} // namespace dovrel::e2e
