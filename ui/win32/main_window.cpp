#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <utility>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"
#include "ui/click_events.h"
#include "ui/control_table.h"
#include "ui/win32/control_factory.h"
#include "ui/win32/donate_picture.h"
#include "ui/win32/fonts.h"
#include "ui/win32/screen_metrics.h"
#include "ui/win32/tool_tip.h"

namespace dovrel {

namespace {

constexpr wchar_t kClassName[] = L"DovrelMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; // fixed single border
constexpr DWORD kWindowExStyle = 0;

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw PlatformError(L"Registering the main window's class",
                            SystemErrorText(GetLastError()));
}

// Where a window of this size stands centred on the screen.
int Centred(int size, int screenMetric) {
    return (GetSystemMetrics(screenMetric) - size) / 2;
}

// The buttons of one kind in one frame form a group, as an option group does.
bool InSameGroup(ControlId a, ControlId b) {
    const ControlSpec& first = FindControl(a);
    const ControlSpec& second = FindControl(b);
    return first.kind == second.kind && first.container == second.container;
}

bool IsArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

UniqueIcon LoadIconOfSize(HMODULE module, int id, int widthMetric, int heightMetric) {
    if (!module)
        return UniqueIcon();
    return UniqueIcon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                    GetSystemMetrics(widthMetric),
                                                    GetSystemMetrics(heightMetric), 0)));
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, HMODULE iconModule, int iconId) : dpi_(ScreenDpi()) {
    RegisterWindowClass(instance, &MainWindow::WindowProc);
    const PixelSize client = ClientSize(dpi_);
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Created where it is first shown, centred, rather than moved there.
    HWND window = CreateWindowExW(kWindowExStyle, kClassName, kWindowCaption, kWindowStyle,
                                  Centred(width, SM_CXSCREEN), Centred(height, SM_CYSCREEN), width,
                                  height, nullptr, nullptr, instance, this);
    if (!window)
        throw PlatformError(L"Creating the main window", SystemErrorText(GetLastError()));
    // window_ took the handle in WM_NCCREATE.
    SizeClientArea();
    CreateControls(instance);
    LoadIcons(iconModule, iconId);
}

MainWindow::~MainWindow() {
    Close();
}

void MainWindow::Close() {
    // The handle stays set until WM_NCDESTROY, so every message of the
    // destruction reaches the window with it.
    if (window_)
        DestroyWindow(window_.get());
}

void MainWindow::SizeClientArea() {
    // The frame's size can differ from what AdjustWindowRectEx predicts (a
    // caption wrapped by a theme); correct by what is actually there.
    const PixelSize wanted = ClientSize(dpi_);
    RECT client{};
    RECT outer{};
    GetClientRect(handle(), &client);
    GetWindowRect(handle(), &outer);
    const int width = outer.right - outer.left + wanted.width - client.right;
    const int height = outer.bottom - outer.top + wanted.height - client.bottom;
    if (client.right != wanted.width || client.bottom != wanted.height)
        SetWindowPos(handle(), nullptr, Centred(width, SM_CXSCREEN), Centred(height, SM_CYSCREEN),
                     width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CreateControls(HINSTANCE instance) {
    fonts_.push_back(CreateStandardDialogFont(dpi_.y));
    HFONT standardFont = fonts_.back().get();
    for (const ControlId id : TabOrder()) {
        const ControlSpec& spec = FindControl(id);
        HWND created = CreateControlWindow(spec, handle(), instance, ControlRect(spec, dpi_));
        controls_[static_cast<int>(id)] = created;
        HFONT font = standardFont;
        if (spec.font) {
            fonts_.push_back(CreateControlFont(*spec.font, dpi_.y));
            font = fonts_.back().get();
        }
        SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (spec.kind == ControlKind::OptionButton || spec.kind == ControlKind::CheckBox ||
            spec.kind == ControlKind::Image)
            Subclass(id);
    }
}

void MainWindow::Subclass(ControlId id) {
    HWND target = control(id);
    SetWindowLongPtrW(target, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    standardProcs_[static_cast<int>(id)] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ControlProc)));
}

// The tool tip is the window's only common control. Its DLL is loaded when the
// pointer first comes onto the picture rather than with the window, which
// would make every start pay for it, whether the pointer ever rests there or
// not. When it cannot be had, the picture goes without its tip.
void MainWindow::AddPictureToolTip(HWND image, WPARAM wParam, LPARAM lParam) {
    toolTipTried_ = true;
    try {
        commonControls_.emplace(L"comctl32");
        const auto initialise =
            commonControls_->Find<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx");
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        if (!initialise(&classes))
            return;
    } catch (const PlatformError&) {
        return;
    }
    HWND tip = AddToolTip(handle(), image, FindControl(ControlId::Image1).toolTip);
    if (!tip)
        return;
    // The tip watches the picture's messages from now on; of this first one it
    // has to be told.
    MSG first{};
    first.hwnd = image;
    first.message = WM_MOUSEMOVE;
    first.wParam = wParam;
    first.lParam = lParam;
    first.time = static_cast<DWORD>(GetMessageTime());
    const DWORD position = GetMessagePos();
    first.pt.x = static_cast<short>(LOWORD(position));
    first.pt.y = static_cast<short>(HIWORD(position));
    SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&first));
}

void MainWindow::LoadIcons(HMODULE iconModule, int iconId) {
    bigIcon_ = LoadIconOfSize(iconModule, iconId, SM_CXICON, SM_CYICON);
    smallIcon_ = LoadIconOfSize(iconModule, iconId, SM_CXSMICON, SM_CYSMICON);
    if (bigIcon_)
        SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_)
        SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void MainWindow::RunMessageLoop() {
    MSG message{};
    while (window_) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == -1)
            throw PlatformError(L"Reading the window's messages", SystemErrorText(GetLastError()));
        if (result == 0)
            break; // a quit nobody here asked for; the window goes with its owner
        if (IsDialogMessageW(window_.get(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

// IFormView -------------------------------------------------------------------

void MainWindow::Show() {
    ShowWindow(handle(), SW_SHOW);
    UpdateWindow(handle());
}

// The window has no handler for its own closing, so unloading it and ending
// the program at once come to the same: the window goes, and with it the loop.
void MainWindow::Unload() {
    Close();
}

void MainWindow::EndProgram() {
    Close();
}

void MainWindow::SetFocus(ControlId id) {
    savedFocus_ = control(id);
    ::SetFocus(savedFocus_);
}

void MainWindow::SetOptionValue(ControlId option, bool value) {
    SetButtonCheck(control(option), value);
}

bool MainWindow::GetOptionValue(ControlId option) const {
    return SendMessageW(control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int MainWindow::GetCheckValue(ControlId checkBox) const {
    return SendMessageW(control(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void MainWindow::SetEnabled(ControlId button, bool enabled) {
    HWND target = control(button);
    const bool hadFocus = GetFocus() == target;
    EnableWindow(target, enabled ? TRUE : FALSE);
    // A disabled control cannot keep the focus; pass it on in tab order so the
    // keyboard keeps working.
    if (!enabled && hadFocus) {
        HWND next = GetNextDlgTabItem(handle(), target, FALSE);
        if (next && next != target)
            ::SetFocus(next);
    }
}

// Messages --------------------------------------------------------------------

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.reset(window);
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        static_cast<void>(self->window_.release()); // its last message
        // A loop waiting in GetMessage (the window may have gone inside it, for
        // a message sent from elsewhere) wakes to see that it is gone.
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may leave a window procedure by exception.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        self->Fail(std::current_exception());
        return 0;
    }
}

LRESULT CALLBACK MainWindow::ControlProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(target, GWLP_USERDATA));
    ControlId id{};
    ControlFromCommandId(GetDlgCtrlID(target), id);
    // Nothing may leave a window procedure by exception.
    try {
        return self->HandleControlMessage(id, message, wParam, lParam);
    } catch (...) {
        self->Fail(std::current_exception());
        return 0;
    }
}

LRESULT MainWindow::HandleControlMessage(ControlId id, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        return OnControlFocus(id, wParam, lParam);
    case WM_MOUSEMOVE:
        OnControlMouseMove(id, wParam, lParam);
        break;
    case WM_GETDLGCODE:
        return OnGetDlgCode(id, wParam, lParam);
    case WM_KEYDOWN:
        if (OnControlKeyDown(id, wParam))
            return 0;
        break;
    default:
        break;
    }
    return CallStandardProc(id, message, wParam, lParam);
}

LRESULT MainWindow::CallStandardProc(ControlId id, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(standardProcs_[static_cast<int>(id)], control(id), message, wParam,
                           lParam);
}

// An option button that takes the focus while unselected reports a click;
// only the user's selection (mouse or space bar) counts as one.
LRESULT MainWindow::OnControlFocus(ControlId id, WPARAM wParam, LPARAM lParam) {
    HWND previous = optionTakingFocus_;
    optionTakingFocus_ = control(id);
    const LRESULT result = CallStandardProc(id, WM_SETFOCUS, wParam, lParam);
    optionTakingFocus_ = previous;
    return result;
}

void MainWindow::OnControlMouseMove(ControlId id, WPARAM wParam, LPARAM lParam) {
    if (id == ControlId::Image1 && !toolTipTried_)
        AddPictureToolTip(control(id), wParam, lParam);
}

// Every control is a group of its own, so the dialog manager's arrow keys
// would go nowhere; the frame's two buttons take them instead.
LRESULT MainWindow::OnGetDlgCode(ControlId id, WPARAM wParam, LPARAM lParam) {
    const LRESULT standard = CallStandardProc(id, WM_GETDLGCODE, wParam, lParam);
    return id == ControlId::Image1 ? standard : standard | DLGC_WANTARROWS;
}

// True when the key was taken.
bool MainWindow::OnControlKeyDown(ControlId id, WPARAM key) {
    if (id == ControlId::Image1 || !IsArrowKey(key))
        return false;
    MoveWithinFrame(id);
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColour(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        if (OnActivate(LOWORD(wParam) != WA_INACTIVE))
            return 0;
        break;
    case WM_DRAWITEM:
        if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    default:
        break;
    }
    return DefWindowProcW(handle(), message, wParam, lParam);
}

// The focus leaves with the activation and comes back to where it was; true
// when it was put back here, so the system does not move it.
bool MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle(), focus))
            savedFocus_ = focus;
        return false;
    }
    if (!savedFocus_ || !IsWindowEnabled(savedFocus_))
        return false;
    ::SetFocus(savedFocus_);
    return true;
}

// The picture is the one owner-drawn control.
bool MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != control(ControlId::Image1))
        return false;
    const auto background =
        reinterpret_cast<HBRUSH>(OnControlColour(WM_CTLCOLORSTATIC, item.hDC, item.hwndItem));
    PaintPicture(item.hDC, item.rcItem, background, DonatePicture());
    return true;
}

void MainWindow::OnCommand(int id, int code, HWND from) {
    if (from == nullptr && id == IDOK) {
        // Enter: presses the command button that has the focus.
        ControlId focused{};
        HWND focus = GetFocus();
        if (focus && ControlFromCommandId(GetDlgCtrlID(focus), focused) &&
            FindControl(focused).kind == ControlKind::CommandButton && IsWindowEnabled(focus))
            RaiseClick(focused);
        return;
    }
    ControlId clicked{};
    if (!from || !ControlFromCommandId(id, clicked) || !RaisesClick(clicked))
        return;
    if (code != BN_CLICKED) // STN_CLICKED has the same value
        return;
    switch (FindControl(clicked).kind) {
    case ControlKind::OptionButton:
        if (from == optionTakingFocus_)
            return;
        SelectOption(clicked);
        break;
    case ControlKind::CommandButton:
        if (!IsWindowEnabled(from)) // an access key must not press a disabled button
            return;
        break;
    default:
        break;
    }
    RaiseClick(clicked);
}

// As in any option group: an arrow key moves to the other button of the same
// frame. Onto an option, it selects it with one Click; onto a check box, it
// changes neither box.
void MainWindow::MoveWithinFrame(ControlId from) {
    for (const ControlSpec& other : ControlTable()) {
        if (other.id == from || !InSameGroup(other.id, from))
            continue;
        HWND target = control(other.id);
        const bool selects = other.kind == ControlKind::OptionButton &&
                             SendMessageW(target, BM_GETCHECK, 0, 0) != BST_CHECKED;
        ::SetFocus(target);
        // As the dialog manager does when it moves the focus: from now on the
        // focus shows, where XP hides it until the keyboard is first used.
        SendMessageW(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        if (selects)
            SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(ControlCommandId(other.id), BN_CLICKED),
                         reinterpret_cast<LPARAM>(target));
        return;
    }
}

void MainWindow::SelectOption(ControlId option) {
    for (const ControlSpec& other : ControlTable())
        if (InSameGroup(other.id, option))
            SetButtonCheck(control(other.id), other.id == option);
}

void MainWindow::RaiseClick(ControlId id) {
    if (clickHandler_)
        clickHandler_(id);
}

LRESULT MainWindow::OnControlColour(UINT message, HDC dc, HWND target) {
    // The system's colours first, so a high-contrast scheme is followed; then
    // the few text colours the table stores.
    const LRESULT brush = DefWindowProcW(handle(), message, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(target));
    const ControlSpec* spec = SpecOf(target);
    if (spec && spec->foreColour) {
        const std::optional<int> systemIndex = SystemColourIndex(*spec->foreColour);
        SetTextColor(dc, systemIndex ? GetSysColor(*systemIndex)
                                     : static_cast<COLORREF>(PlainColour(*spec->foreColour)));
    }
    return brush;
}

const ControlSpec* MainWindow::SpecOf(HWND target) const {
    ControlId id{};
    if (!ControlFromCommandId(GetDlgCtrlID(target), id) || control(id) != target)
        return nullptr;
    return &FindControl(id);
}

void MainWindow::Fail(std::exception_ptr error) {
    if (failure_) // already closing for the first one
        return;
    failure_ = error;
    Close();
}

} // namespace dovrel
