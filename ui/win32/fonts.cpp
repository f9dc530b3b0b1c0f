#include "ui/win32/fonts.h"

#include <string>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"
#include "ui/layout.h"

namespace dovrel {

UniqueFont CreateControlFont(const FontSetting& setting, int dpiY) {
    const std::wstring face = setting.face ? setting.face : L"";
    LOGFONTW font{};
    font.lfHeight = FontHeight(setting.points, dpiY);
    font.lfWeight = setting.weight;
    font.lfUnderline = setting.underline ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(setting.charset);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created)
        throw PlatformError(L"Creating the font \"" + face + L"\"",
                            SystemErrorText(GetLastError()));
    return created;
}

UniqueFont CreateStandardDialogFont(int dpiY) {
    return CreateControlFont(StandardDialogFont(), dpiY);
}

} // namespace dovrel
