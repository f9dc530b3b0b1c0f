#pragma once

// The window tests' names for parts of the shared window toolkit.
#include "automation/window_query.h"

namespace dovrel::testing {

using automation::ClassOf;
using automation::kMessageBoxIcon;
using automation::kMessageBoxText;
using automation::TextOf;

} // namespace dovrel::testing
