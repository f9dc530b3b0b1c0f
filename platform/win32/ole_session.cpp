#include "platform/win32/ole_session.h"

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"

namespace dovrel {

OleSession::OleSession()
    : ole32_(L"ole32"),
      uninitialize_(ole32_.Find<decltype(&::OleUninitialize)>("OleUninitialize")) {
    const auto initialize = ole32_.Find<decltype(&::OleInitialize)>("OleInitialize");
    const HRESULT result = initialize(nullptr);
    if (FAILED(result))
        throw PlatformError(L"Starting OLE", SystemErrorText(static_cast<DWORD>(result)));
}

OleSession::~OleSession() {
    uninitialize_();
}

} // namespace dovrel
