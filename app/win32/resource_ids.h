#pragma once

// Shared by the resource script and the code that loads the resources.
#define DOVREL_ICON_ID 1
