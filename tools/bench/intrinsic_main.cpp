// The window Dovrel shows, and nothing else: the same caption, client size,
// icons, fifteen standard controls, fonts, text colours and picture, built
// from the product's own control table, layout and picture data, without the
// start-up checks, the service objects or any logic behind the controls.
// What is left is what the window itself costs; Dovrel is measured against it.
#include <windows.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/win32/resource_ids.h"
#include "ui/control_table.h"
#include "ui/layout.h"
#include "ui/win32/control_factory.h"
#include "ui/win32/donate_picture.h"
#include "ui/win32/fonts.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/screen_metrics.h"

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

const ControlSpec* SpecOf(HWND control) {
    ControlId id{};
    return dovrel::ControlFromCommandId(GetDlgCtrlID(control), id) ? &dovrel::FindControl(id)
                                                                   : nullptr;
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
        if (SpecOf(item.hwndItem) != &dovrel::FindControl(ControlId::Image1))
            break;
        dovrel::PaintPicture(item.hDC, item.rcItem, GetSysColorBrush(COLOR_BTNFACE),
                             dovrel::DonatePicture());
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
    const dovrel::Dpi dpi = dovrel::ScreenDpi();

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
    std::vector<dovrel::UniqueFont> fonts;
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

    fonts.push_back(dovrel::CreateStandardDialogFont(dpi.y));
    const HFONT standardFont = fonts.front().get();
    std::array<HWND, dovrel::kControlCount> controls{};
    for (const ControlId id : dovrel::TabOrder()) {
        const ControlSpec& spec = dovrel::FindControl(id);
        HWND control = dovrel::CreateControlWindow(spec, window.get(), instance,
                                                   dovrel::ControlRect(spec, dpi));
        controls[static_cast<int>(id)] = control;
        HFONT font = standardFont;
        if (spec.font) {
            fonts.push_back(dovrel::CreateControlFont(*spec.font, dpi.y));
            font = fonts.back().get();
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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
