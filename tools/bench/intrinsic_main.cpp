// The window Dovrel shows, and nothing else: the same caption, client size,
// icons, fifteen standard controls, fonts, text colours and picture, built
// from the product's own control table, layout and picture data, without the
// start-up checks, the service objects or any logic behind the controls.
// What is left is what the window itself costs; Dovrel is measured against it.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "app/win32/resource_ids.h"
#include "ui/control_table.h"
#include "ui/layout.h"
#include "ui/win32/donate_picture_data.h"
#include "ui/win32/gdi_handles.h"

#if defined(__GLIBCXX__)
// As in Dovrel: the runtime's own handler for an uncaught exception would link
// in a name demangler and a printf engine for a window that has nowhere to
// print.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif

namespace {

using dovrel::ControlId;
using dovrel::ControlKind;
using dovrel::ControlSpec;

constexpr wchar_t kClassName[] = L"DovrelBenchIntrinsic";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Dovrel's command identifiers, so a control's identifier finds its table entry.
constexpr int kFirstCommandId = 100;

const ControlSpec* SpecOf(HWND control) {
    const int index = GetDlgCtrlID(control) - kFirstCommandId;
    if (index < 0 || index >= dovrel::kControlCount)
        return nullptr;
    return &dovrel::ControlTable()[index];
}

dovrel::Dpi ScreenDpi() {
    const dovrel::UniqueScreenDc screen(GetDC(nullptr));
    if (!screen)
        return {};
    return {GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

// The font as Dovrel makes it, from the same conversion.
dovrel::UniqueFont MakeFont(const dovrel::FontSetting& setting, int dpiY) {
    const dovrel::LogicalFontSpec spec = dovrel::MakeLogicalFont(setting, dpiY);
    LOGFONTW font{};
    font.lfHeight = spec.height;
    font.lfWeight = spec.weight;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(spec.charset);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    return dovrel::UniqueFont(CreateFontIndirectW(&font));
}

// Clicks lead nowhere here, so no control asks to be told of them.
DWORD StyleOf(const ControlSpec& spec, const wchar_t*& className) {
    className = L"BUTTON";
    switch (spec.kind) {
    case ControlKind::Frame:
        return BS_GROUPBOX;
    case ControlKind::CommandButton:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case ControlKind::CheckBox:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    case ControlKind::OptionButton:
        return BS_RADIOBUTTON | WS_TABSTOP;
    case ControlKind::Image:
        className = L"STATIC";
        return SS_OWNERDRAW;
    case ControlKind::Label:
        break;
    }
    className = L"STATIC";
    return spec.align == dovrel::TextAlign::Centre ? SS_CENTER : SS_LEFT;
}

// Dovrel's creation order (ascending tab index, the image last), which is
// also the controls' stacking order and so decides how they overlap.
std::array<const ControlSpec*, dovrel::kControlCount> CreationOrder() {
    std::array<const ControlSpec*, dovrel::kControlCount> order{};
    for (int i = 0; i < dovrel::kControlCount; ++i)
        order[i] = &dovrel::ControlTable()[i];
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->tabIndex.value_or(dovrel::kControlCount) <
               b->tabIndex.value_or(dovrel::kControlCount);
    });
    return order;
}

// The cheapest drawing there is: straight from the packed bitmap in the
// program's data to the screen, with no bitmap object and no memory DC. The
// build made the bitmap, so its header is trusted.
void DrawPicture(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dovrel::kDonatePictureDib);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const DWORD colours = header.biClrUsed != 0    ? header.biClrUsed
                          : header.biBitCount <= 8 ? 1u << header.biBitCount
                                                   : 0u;
    const unsigned char* pixels =
        dovrel::kDonatePictureDib + header.biSize + colours * sizeof(RGBQUAD);
    const auto height = static_cast<DWORD>(std::abs(header.biHeight));
    SetDIBitsToDevice(item.hDC, item.rcItem.left, item.rcItem.top,
                      static_cast<DWORD>(header.biWidth), height, 0, 0, 0, height, pixels, info,
                      DIB_RGB_COLORS);
}

LRESULT ControlColour(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT brush = DefWindowProcW(window, message, wParam, lParam);
    const ControlSpec* spec = SpecOf(reinterpret_cast<HWND>(lParam));
    if (spec && spec->foreColour) {
        const std::optional<int> system = dovrel::SystemColourIndex(*spec->foreColour);
        SetTextColor(reinterpret_cast<HDC>(wParam),
                     system ? GetSysColor(*system)
                            : static_cast<COLORREF>(dovrel::PlainColour(*spec->foreColour)));
    }
    return brush;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ControlColour(window, message, wParam, lParam);
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != static_cast<UINT>(kFirstCommandId + static_cast<int>(ControlId::Image1)))
            break;
        DrawPicture(item);
        return TRUE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

dovrel::UniqueIcon LoadIconSized(HINSTANCE instance, int widthMetric, int heightMetric) {
    return dovrel::UniqueIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(DOVREL_ICON_ID), IMAGE_ICON,
                   GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0)));
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const dovrel::Dpi dpi = ScreenDpi();

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass))
        return 1;

    // Created where Dovrel ends up, centred, rather than moved there.
    const dovrel::PixelSize client = dovrel::ClientSize(dpi);
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    const auto centre = [](int size, int screenMetric) {
        return (GetSystemMetrics(screenMetric) - size) / 2;
    };

    // Declared before the window, which uses them, so they outlive it.
    // The standard font, then one for each control with a font of its own.
    std::array<dovrel::UniqueFont, dovrel::kControlCount + 1> fonts;
    int fontCount = 0;
    const dovrel::UniqueIcon bigIcon = LoadIconSized(instance, SM_CXICON, SM_CYICON);
    const dovrel::UniqueIcon smallIcon = LoadIconSized(instance, SM_CXSMICON, SM_CYSMICON);
    dovrel::UniqueWindow window(CreateWindowExW(
        0, kClassName, dovrel::kWindowCaption, kWindowStyle, centre(width, SM_CXSCREEN),
        centre(height, SM_CYSCREEN), width, height, nullptr, nullptr, instance, nullptr));
    if (!window)
        return 1;

    // A frame that differs from the prediction (a theme's caption) is
    // corrected as Dovrel corrects it.
    RECT actual{};
    GetClientRect(window.get(), &actual);
    if (actual.right != client.width || actual.bottom != client.height) {
        width += client.width - actual.right;
        height += client.height - actual.bottom;
        SetWindowPos(window.get(), nullptr, centre(width, SM_CXSCREEN), centre(height, SM_CYSCREEN),
                     width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    fonts[fontCount++] = MakeFont(dovrel::StandardDialogFont(), dpi.y);
    const HFONT standardFont = fonts[0].get();
    std::array<HWND, dovrel::kControlCount> controls{};
    for (const ControlSpec* spec : CreationOrder()) {
        const wchar_t* className = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | StyleOf(*spec, className);
        if (!spec->enabled)
            style |= WS_DISABLED;
        const dovrel::PixelRect rect = dovrel::ControlRect(*spec, dpi);
        const int id = kFirstCommandId + static_cast<int>(spec->id);
        HWND control =
            CreateWindowExW(0, className, spec->caption ? spec->caption : L"", style, rect.left,
                            rect.top, rect.width(), rect.height(), window.get(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!control)
            return 1;
        controls[static_cast<int>(spec->id)] = control;
        HFONT font = standardFont;
        if (spec->font) {
            fonts[fontCount] = MakeFont(*spec->font, dpi.y);
            font = fonts[fontCount++].get();
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (spec->value == 1)
            SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    }

    SendMessageW(window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageW(window.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    SetFocus(controls[static_cast<int>(ControlId::Command2)]);

    MSG message{};
    BOOL result;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (IsDialogMessageW(window.get(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (result == 0)
        static_cast<void>(window.release()); // its WM_DESTROY ended the loop: it is gone
    return 0;
}
