#include "ui/win32/screen_metrics.h"

#include <windows.h>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"
#include "platform/win32/unique_handles.h"

namespace dovrel {

Dpi ScreenDpi() {
    UniqueScreenDc screen(GetDC(nullptr));
    if (!screen)
        throw PlatformError(L"Reading the screen's resolution", SystemErrorText(GetLastError()));
    return {GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

} // namespace dovrel
