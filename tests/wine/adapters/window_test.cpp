#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "automation/file_dialog.h"
#include "automation/side_thread.h"
#include "automation/unique_handle.h"
#include "automation/wait.h"
#include "built_program.h"
#include "dialog_windows.h"
#include "platform/platform_error.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_file_dialog.h"
#include "tests/expected/texts.h"
#include "tests/expected/window_layout.h"
#include "ui/control_table.h"
#include "ui/win32/donate_picture.h"
#include "ui/win32/main_window.h"
#include "ui/win32/tool_tip.h"

namespace dovrel {
namespace {

using testing::ClassOf;
using testing::kIconId;
using testing::LoadBuiltProgram;
using testing::TextOf;

using expected::kControls;

expected::Rect ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::string NameOf(const expected::Control& row) {
    return ::testing::PrintToString(std::wstring(row.name));
}

// Removes whatever earlier windows of this thread left queued, a quit
// message included.
void DrainQueue() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageW(&message);
    }
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        DrainQueue();
        program_ = LoadBuiltProgram();
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), program_.get(), kIconId);
        window_->SetClickHandler([this](ControlId id) { clicks_.push_back(id); });
    }
    void TearDown() override {
        window_.reset();
        DrainQueue();
        program_.reset();
    }

    HWND Control(ControlId id) const { return window_->control(id); }
    void Press(ControlId id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void ClickStatic(ControlId id) {
        SendMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    // Feeds posted keyboard messages through the window's own loop, then
    // closes the window so the loop returns.
    void PumpThenClose() {
        PostMessageW(window_->handle(), WM_CLOSE, 0, 0);
        window_->RunMessageLoop();
        EXPECT_EQ(window_->handle(), nullptr);
    }
    // Feeds posted messages through the window's own loop until all are
    // handled, and leaves the window open: a timer fires only once the queue
    // is empty, and its quit ends the loop.
    void Pump() {
        SetTimer(window_->handle(), 1, 0, QuitOnceIdle);
        window_->RunMessageLoop();
        ASSERT_NE(window_->handle(), nullptr);
    }
    static void CALLBACK QuitOnceIdle(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        PostQuitMessage(0);
    }
    // Another window of this thread takes the activation, `whileAway` runs,
    // and the window is activated again.
    void ActivateAnotherWindowAndComeBack(const std::function<void()>& whileAway = [] {}) {
        HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(other, nullptr);
        SetActiveWindow(other);
        whileAway();
        SetActiveWindow(window_->handle());
        DestroyWindow(other);
    }
    void PostAccessKey(wchar_t key) {
        PostMessageW(Control(ControlId::Command2), WM_SYSCHAR, key, 0x20000000);
    }

    UniqueModule program_;
    std::unique_ptr<MainWindow> window_;
    std::vector<ControlId> clicks_;
};

// ---------------------------------------------------------------- the window

TEST_F(WindowTest, IsAFixedInvisibleWindowWithTheCaptionAndTheClientAreaInTwips) {
    HWND window = window_->handle();
    EXPECT_EQ(TextOf(window), expected::kTitle);
    EXPECT_FALSE(IsWindowVisible(window));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    RECT client{};
    GetClientRect(window, &client);
    const Dpi dpi = window_->dpi();
    EXPECT_EQ(client.right, expected::ClientWidth(dpi.x));
    EXPECT_EQ(client.bottom, expected::ClientHeight(dpi.y));
}

TEST_F(WindowTest, ShowsCentredOnTheScreen) {
    window_->Show();
    HWND window = window_->handle();
    EXPECT_TRUE(IsWindowVisible(window));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR((outer.top + outer.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);
}

TEST_F(WindowTest, CarriesTheProgramsIconBigAndSmall) {
    ASSERT_TRUE(program_) << "build Dovrel.exe first: "
                          << ::testing::PrintToString(testing::BuiltProgramPath());
    HWND window = window_->handle();
    const auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(big, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(colour.bmHeight, GetSystemMetrics(SM_CYICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// -------------------------------------------------------------- the controls

TEST_F(WindowTest, EveryControlIsAStandardControlWithItsExactCaptionAtItsTwips) {
    HWND window = window_->handle();
    const Dpi dpi = window_->dpi();
    for (const expected::Control& row : kControls) {
        SCOPED_TRACE(NameOf(row));
        HWND control = Control(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), window);
        const bool isStatic = row.kind == ControlKind::Label || row.kind == ControlKind::Image;
        EXPECT_EQ(ClassOf(control), isStatic ? L"Static" : L"Button");
        if (row.caption == expected::kAnyText) {
            EXPECT_NE(TextOf(control), L"");
        } else if (row.kind != ControlKind::Image) {
            EXPECT_EQ(TextOf(control), row.caption ? row.caption : L"");
        }
        EXPECT_EQ(ClientRectOf(control, window), expected::PixelRect(row, dpi.x, dpi.y));
    }
}

TEST_F(WindowTest, ChildrenLieInsideTheirFrames) {
    HWND window = window_->handle();
    for (const expected::Control& row : kControls) {
        if (!row.container)
            continue;
        SCOPED_TRACE(NameOf(row));
        const expected::Rect child = ClientRectOf(Control(row.id), window);
        const expected::Rect frame = ClientRectOf(Control(*row.container), window);
        EXPECT_GE(child.left, frame.left);
        EXPECT_GE(child.top, frame.top);
        EXPECT_LE(child.right, frame.right);
        EXPECT_LE(child.bottom, frame.bottom);
    }
}

TEST_F(WindowTest, StartsInTheStoredStates) {
    for (const expected::Control& row : kControls) {
        SCOPED_TRACE(NameOf(row));
        EXPECT_EQ(IsWindowEnabled(Control(row.id)) != FALSE, row.enabled);
        if (row.kind == ControlKind::CheckBox) {
            EXPECT_EQ(window_->GetCheckValue(row.id), row.value);
        }
        if (row.kind == ControlKind::OptionButton) {
            EXPECT_EQ(window_->GetOptionValue(row.id), row.value != 0);
        }
    }
}

TEST_F(WindowTest, TabVisitsTheFocusableControlsInOrderSkippingADisabledButton) {
    HWND window = window_->handle();
    auto walk = [&](int steps) {
        std::vector<HWND> seen;
        HWND at = Control(expected::kFocusOrder.front());
        for (int i = 0; i < steps; ++i) {
            seen.push_back(at);
            at = GetNextDlgTabItem(window, at, FALSE);
        }
        seen.push_back(at);
        return seen;
    };
    // The focus order once round and back to its start, without `skipped`.
    auto cycle = [&](std::optional<ControlId> skipped) {
        std::vector<HWND> order;
        for (const ControlId id : expected::kFocusOrder)
            if (id != skipped)
                order.push_back(Control(id));
        order.push_back(Control(expected::kFocusOrder.front()));
        return order;
    };
    const std::vector<HWND> expectedDisabled = cycle(ControlId::Command1);
    EXPECT_EQ(walk(5), expectedDisabled);

    // Selecting and clearing options keeps both in the order.
    Press(ControlId::Option1);
    Press(ControlId::Option2);
    window_->SetOptionValue(ControlId::Option2, false);
    EXPECT_EQ(walk(5), expectedDisabled);

    window_->SetEnabled(ControlId::Command1, true);
    EXPECT_EQ(walk(6), cycle(std::nullopt));
}

TEST_F(WindowTest, FramesLabelsAndThePictureNeverTakeTheFocus) {
    for (const expected::Control& row : kControls) {
        const bool focusable = row.kind == ControlKind::CommandButton ||
                               row.kind == ControlKind::CheckBox ||
                               row.kind == ControlKind::OptionButton;
        EXPECT_EQ((GetWindowLongW(Control(row.id), GWL_STYLE) & WS_TABSTOP) != 0, focusable)
            << NameOf(row);
    }
}

// ------------------------------------------------------- fonts and colours

void ExpectFont(HWND control, const expected::Font& font, int dpiY) {
    LOGFONTW shown{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(shown),
               &shown);
    EXPECT_STREQ(shown.lfFaceName, font.face);
    EXPECT_EQ(shown.lfHeight, expected::FontHeight(font, dpiY));
    EXPECT_EQ(shown.lfWeight, font.weight);
    EXPECT_EQ(shown.lfUnderline != 0, font.underline);
    EXPECT_EQ(shown.lfCharSet, font.charset);
}

TEST_F(WindowTest, LabelsHaveTheirOwnFontsSizedForTheScreen) {
    for (const expected::Control& row : kControls) {
        SCOPED_TRACE(NameOf(row));
        if (row.font)
            ExpectFont(Control(row.id), *row.font, window_->dpi().y);
    }
}

TEST_F(WindowTest, EveryOtherControlUsesTheDialogFontSizedForTheScreen) {
    const auto shared = SendMessageW(Control(ControlId::Frame1), WM_GETFONT, 0, 0);
    for (const expected::Control& row : kControls) {
        if (row.font || row.kind == ControlKind::Image) // the picture shows no text
            continue;
        SCOPED_TRACE(NameOf(row));
        EXPECT_EQ(SendMessageW(Control(row.id), WM_GETFONT, 0, 0), shared);
    }
    ExpectFont(Control(ControlId::Frame1), expected::kDialogFont, window_->dpi().y);
}

TEST_F(WindowTest, ItsFontsAreDeletedWithIt) {
    std::set<HGDIOBJ> fonts;
    for (const ControlSpec& spec : ControlTable())
        fonts.insert(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(spec.id), WM_GETFONT, 0, 0)));
    for (HGDIOBJ font : fonts)
        ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    window_.reset();
    for (HGDIOBJ font : fonts)
        EXPECT_EQ(GetObjectType(font), 0u) << "a font outlives the window";
}

COLORREF TextColourFor(HWND window, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

TEST_F(WindowTest, TextColoursFollowTheTableAndTheSystemScheme) {
    HWND window = window_->handle();
    EXPECT_EQ(TextColourFor(window, Control(ControlId::Label1)), GetSysColor(COLOR_APPWORKSPACE));
    EXPECT_EQ(TextColourFor(window, Control(ControlId::Label3)), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(TextColourFor(window, Control(ControlId::Frame3)), RGB(128, 0, 0));
    EXPECT_EQ(TextColourFor(window, Control(ControlId::Label4)), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(TextColourFor(window, Control(ControlId::Frame1)), GetSysColor(COLOR_WINDOWTEXT));
}

// ------------------------------------------------- picture and its tool tip

// A canvas of the screen's format to paint into and read back.
class Canvas {
public:
    Canvas(int width, int height) {
        const UniqueScreenDc screen(GetDC(nullptr));
        dc_.reset(CreateCompatibleDC(screen.get()));
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
        previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { SelectObject(dc_.get(), previous_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_.get(); }

private:
    automation::UniqueDc dc_;
    automation::UniqueBitmap bitmap_;
    HGDIOBJ previous_;
};

constexpr COLORREF kPictureOutline = RGB(150, 88, 12);

TEST_F(WindowTest, ThePictureShowsAtItsNaturalSizeInItsBox) {
    // As the window draws its picture box (at 96 DPI the box is exactly the
    // picture): the outline runs along the picture's own edges.
    HWND image = Control(ControlId::Image1);
    RECT box{};
    GetClientRect(image, &box);
    Canvas canvas(box.right + 1, box.bottom + 1);
    SendMessageW(image, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    for (const POINT corner : {POINT{0, 0}, POINT{61, 0}, POINT{0, 30}, POINT{61, 30}})
        EXPECT_EQ(GetPixel(canvas.dc(), corner.x, corner.y), kPictureOutline);
    EXPECT_NE(GetPixel(canvas.dc(), 30, 15), kPictureOutline);

    // In a larger box it is not stretched: 62 by 31, the rest is background.
    Canvas large(100, 60);
    const RECT largeBox{0, 0, 100, 60};
    PaintPicture(large.dc(), largeBox, GetSysColorBrush(COLOR_BTNFACE), DonatePicture());
    EXPECT_EQ(GetPixel(large.dc(), 61, 30), kPictureOutline);
    EXPECT_EQ(GetPixel(large.dc(), 62, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(large.dc(), 10, 31), GetSysColor(COLOR_BTNFACE));
}

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
struct BstrFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};

std::vector<HWND> ToolTipsOwnedBy(HWND window) {
    std::vector<HWND> owned;
    for (HWND candidate : automation::TopLevelWindowsOf(GetCurrentProcessId()))
        if (ClassOf(candidate) == TOOLTIPS_CLASSW && GetWindow(candidate, GW_OWNER) == window)
            owned.push_back(candidate);
    return owned;
}

TEST_F(WindowTest, ThePictureGetsItsToolTipWhenThePointerFirstComesOntoIt) {
    HWND image = Control(ControlId::Image1);
    EXPECT_TRUE(ToolTipsOwnedBy(window_->handle()).empty());

    SendMessageW(image, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(image, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    const std::vector<HWND> tips = ToolTipsOwnedBy(window_->handle());
    ASSERT_EQ(tips.size(), 1u) << "one tip, however often the pointer moves";
    HWND tip = tips.front();
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

    wchar_t text[80] = {};
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = window_->handle();
    info.uId = reinterpret_cast<UINT_PTR>(image);
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, expected::kToolTip);
}

// While it lives, windows of a class made from then on behave as XP's do:
// `Behaviour` stands in front of the class's own procedure, which it is given.
template <LRESULT (*Behaviour)(WNDPROC, HWND, UINT, WPARAM, LPARAM)> class AsOnXp {
public:
    explicit AsOnXp(const wchar_t* className) : className_(className) {
        HWND sample = Sample();
        standard_ = reinterpret_cast<WNDPROC>(
            SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        DestroyWindow(sample);
    }
    ~AsOnXp() {
        HWND sample = Sample();
        SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(standard_));
        DestroyWindow(sample);
    }
    AsOnXp(const AsOnXp&) = delete;
    AsOnXp& operator=(const AsOnXp&) = delete;

private:
    HWND Sample() const {
        return CreateWindowExW(0, className_, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return Behaviour(standard_, window, message, wParam, lParam);
    }
    const wchar_t* className_;
    static inline WNDPROC standard_ = nullptr;
};

// XP's common controls 5.8 refuse a tool described by a structure larger than
// they know; Wine's accept it.
LRESULT XpToolTip(WNDPROC standard, HWND tip, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TTM_ADDTOOLW &&
        reinterpret_cast<const TOOLINFOW*>(lParam)->cbSize > TTTOOLINFOW_V2_SIZE)
        return FALSE;
    return CallWindowProcW(standard, tip, message, wParam, lParam);
}
using XpToolTips = AsOnXp<XpToolTip>;

TEST_F(WindowTest, ThePictureGetsItsToolTipFromXpsCommonControlsToo) {
    const XpToolTips xp(TOOLTIPS_CLASSW);
    SendMessageW(Control(ControlId::Image1), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const std::vector<HWND> tips = ToolTipsOwnedBy(window_->handle());
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(SendMessageW(tips.front(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST(ToolTip, ThatCannotBeAddedIsNoFailure) {
    HWND tool = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(AddToolTip(gone, tool, L"Click here to donate."), nullptr);
    DestroyWindow(tool);
}

TEST_F(WindowTest, ThePointerOnOtherControlsMakesNoToolTip) {
    SendMessageW(Control(ControlId::Label3), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(Control(ControlId::Option1), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(window_->handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ToolTipsOwnedBy(window_->handle()).empty());
}

TEST_F(WindowTest, AScreenReaderNamesThePictureByItsToolTip) {
    IAccessible* picture = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Control(ControlId::Image1), OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&picture)),
              S_OK);
    const std::unique_ptr<IAccessible, ComRelease> owned(picture);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(picture->get_accName(self, &name), S_OK);
    const std::unique_ptr<OLECHAR, BstrFree> ownedName(name);
    EXPECT_EQ(std::wstring(name ? name : L"(none)"), expected::kToolTip);
}

// ------------------------------------------------------------------ clicks

TEST_F(WindowTest, SelectingAnOptionClearsTheOtherAndRaisesClickOnTheSelectedOneOnly) {
    Press(ControlId::Option1);
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::Option1});
    Press(ControlId::Option2);
    EXPECT_EQ(clicks_, (std::vector<ControlId>{ControlId::Option1, ControlId::Option2}));
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option1));
    EXPECT_TRUE(window_->GetOptionValue(ControlId::Option2));
}

TEST_F(WindowTest, SettingAnOptionFromTheLogicRaisesNoClick) {
    window_->SetOptionValue(ControlId::Option1, true);
    EXPECT_TRUE(window_->GetOptionValue(ControlId::Option1));
    window_->SetOptionValue(ControlId::Option1, false);
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option1));
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(WindowTest, AnOptionTakingTheFocusIsNotSelected) {
    window_->Show();
    window_->SetFocus(ControlId::Option2);
    EXPECT_EQ(GetFocus(), Control(ControlId::Option2));
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option2));
    EXPECT_TRUE(clicks_.empty());
}

// XP's option button that takes the focus while unchecked reports a click;
// Wine's does not.
LRESULT XpOptionButton(WNDPROC standard, HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(standard, button, message, wParam, lParam);
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (message == WM_SETFOCUS && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
        SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    return result;
}
using XpOptionButtons = AsOnXp<XpOptionButton>;

class WindowWithXpButtons : public WindowTest {
protected:
    void SetUp() override {
        xpButtons_ = std::make_unique<XpOptionButtons>(L"BUTTON");
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        xpButtons_.reset();
    }
    std::unique_ptr<XpOptionButtons> xpButtons_;
};

TEST_F(WindowWithXpButtons, TabbingOntoAnOptionDoesNotSelectIt) {
    window_->Show();
    window_->SetFocus(ControlId::Command2);
    PostMessageW(Control(ControlId::Command2), WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(Control(ControlId::Option2), WM_KEYDOWN, VK_TAB, 0x000F0001);
    Pump();
    EXPECT_EQ(GetFocus(), Control(ControlId::Option1));
    EXPECT_TRUE(clicks_.empty());
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option1));
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option2));
}

// The WM_CHANGEUISTATE messages sent to one window of this thread while it
// lives.
class UiStateChanges {
public:
    explicit UiStateChanges(HWND window)
        : hook_(SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId())) {
        watched_ = window;
        seen_.clear();
    }
    ~UiStateChanges() { UnhookWindowsHookEx(hook_); }
    UiStateChanges(const UiStateChanges&) = delete;
    UiStateChanges& operator=(const UiStateChanges&) = delete;
    const std::vector<WPARAM>& seen() const { return seen_; }

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == watched_ && sent->message == WM_CHANGEUISTATE)
            seen_.push_back(sent->wParam);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
    static inline HWND watched_ = nullptr;
    static inline std::vector<WPARAM> seen_;
};

// As in any option group, each arrow key moves to the other button of the
// same frame: onto an option it selects it with one Click, however XP sends
// the focus; onto a check box it changes neither box. Either way the focus
// shows from then on, as when the dialog manager moves it.
TEST_F(WindowWithXpButtons, ArrowKeysMoveToTheOtherButtonOfTheFrame) {
    struct Row {
        ControlId from, to;
        bool selects;
    };
    const Row rows[] = {{ControlId::Option1, ControlId::Option2, true},
                        {ControlId::Option2, ControlId::Option1, true},
                        {ControlId::Check1, ControlId::Check2, false},
                        {ControlId::Check2, ControlId::Check1, false}};
    window_->Show();
    for (const UINT key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message()
                         << "key " << key << " on "
                         << ::testing::PrintToString(std::wstring(FindControl(row.from).name)));
            window_->SetOptionValue(ControlId::Option1, false);
            window_->SetOptionValue(ControlId::Option2, false);
            window_->SetFocus(row.from);
            clicks_.clear();
            const UiStateChanges uiState(window_->handle());
            PostMessageW(Control(row.from), WM_KEYDOWN, key, 0x00010001);
            Pump();
            EXPECT_THAT(uiState.seen(), ::testing::Contains(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)));

            EXPECT_EQ(GetFocus(), Control(row.to));
            EXPECT_EQ(clicks_,
                      row.selects ? std::vector<ControlId>{row.to} : std::vector<ControlId>{});
            EXPECT_EQ(window_->GetOptionValue(ControlId::Option1), row.to == ControlId::Option1);
            EXPECT_EQ(window_->GetOptionValue(ControlId::Option2), row.to == ControlId::Option2);
            EXPECT_EQ(window_->GetCheckValue(ControlId::Check1), 1);
            EXPECT_EQ(window_->GetCheckValue(ControlId::Check2), 0);
        }
    }
}

TEST_F(WindowWithXpButtons, TheFocusComingBackOnReactivationDoesNotSelectAnOption) {
    window_->Show();
    window_->SetFocus(ControlId::Option1);
    ActivateAnotherWindowAndComeBack();
    EXPECT_EQ(GetFocus(), Control(ControlId::Option1));
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option1));
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(WindowWithXpButtons, ACancelledDialogIsNotBroughtBackByTheFocus) {
    // As the viewer check does when the user cancels the file dialog: the
    // choice is cleared once the dialog has gone, the focus stays on the
    // option, and the next time it arrives there it must not start over.
    Win32FileDialog dialog(window_->handle());
    window_->SetClickHandler([&](ControlId id) {
        clicks_.push_back(id);
        if (clicks_.size() > 1)
            return; // a click raised again must not open another dialog
        bool cancelled = false;
        {
            const automation::SideThread user([&] {
                if (HWND shown = automation::WaitForFileDialog(GetCurrentProcessId(),
                                                               automation::kReactionTimeoutMs)) {
                    automation::CancelFileDialog(shown);
                    cancelled = true;
                }
            });
            EXPECT_EQ(dialog.ShowOpen(), 0);
        }
        EXPECT_TRUE(cancelled);
        window_->SetOptionValue(ControlId::Option1, false);
        window_->SetOptionValue(ControlId::Option2, false);
    });
    window_->Show();
    window_->SetOptionValue(ControlId::Option1, true); // so that taking the focus clicks nothing
    window_->SetFocus(ControlId::Option1);
    Press(ControlId::Option1);

    ActivateAnotherWindowAndComeBack();
    EXPECT_EQ(GetFocus(), Control(ControlId::Option1));
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::Option1});
    EXPECT_FALSE(window_->GetOptionValue(ControlId::Option1));
}

TEST_F(WindowTest, ACheckBoxClickOnlyTogglesIt) {
    Press(ControlId::Check2);
    EXPECT_EQ(window_->GetCheckValue(ControlId::Check2), 1);
    Press(ControlId::Check1);
    EXPECT_EQ(window_->GetCheckValue(ControlId::Check1), 0);
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(WindowTest, OnlyTheSiteLinkAndThePictureAmongStaticsRaiseClick) {
    for (ControlId id : {ControlId::Label1, ControlId::Label2, ControlId::Label4, ControlId::Frame1,
                         ControlId::Frame4, ControlId::Label3, ControlId::Image1})
        ClickStatic(id);
    EXPECT_EQ(clicks_, (std::vector<ControlId>{ControlId::Label3, ControlId::Image1}));
}

TEST_F(WindowTest, ADisabledFixButtonRaisesNothingAnEnabledOneRaisesClick) {
    Press(ControlId::Command1);
    EXPECT_TRUE(clicks_.empty());
    window_->SetEnabled(ControlId::Command1, true);
    Press(ControlId::Command1);
    Press(ControlId::Command2);
    EXPECT_EQ(clicks_, (std::vector<ControlId>{ControlId::Command1, ControlId::Command2}));
}

TEST_F(WindowTest, AccessKeysPressTheButtonsOnlyWhileEnabled) {
    window_->Show();
    window_->SetFocus(ControlId::Command2);
    PostAccessKey(L'f');
    PostAccessKey(L'v');
    PumpThenClose();
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::Command2});
}

TEST_F(WindowTest, AltFPressesFixOnceEnabled) {
    window_->Show();
    window_->SetEnabled(ControlId::Command1, true);
    window_->SetFocus(ControlId::Command2);
    PostAccessKey(L'f');
    PumpThenClose();
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::Command1});
}

TEST_F(WindowTest, EnterPressesTheFocusedButtonEscapeDoesNothing) {
    window_->Show();
    window_->SetFocus(ControlId::Command2);
    PostMessageW(Control(ControlId::Command2), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(Control(ControlId::Command2), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PumpThenClose();
    EXPECT_EQ(clicks_, std::vector<ControlId>{ControlId::Command2});
}

TEST_F(WindowTest, TheFocusComesBackToItsControlWhenTheWindowIsActivatedAgain) {
    window_->Show();
    window_->SetFocus(ControlId::Check2);
    ActivateAnotherWindowAndComeBack([&] { EXPECT_NE(GetFocus(), Control(ControlId::Check2)); });
    EXPECT_EQ(GetFocus(), Control(ControlId::Check2));
}

TEST_F(WindowTest, DisablingTheFocusedButtonPassesTheFocusOn) {
    window_->Show();
    window_->SetEnabled(ControlId::Command1, true);
    window_->SetFocus(ControlId::Command1);
    window_->SetEnabled(ControlId::Command1, false);
    EXPECT_EQ(GetFocus(), Control(ControlId::Command2));
}

// ------------------------------------------------------- ending the program

TEST_F(WindowTest, UnloadDestroysTheWindowAndEndsTheProgram) {
    window_->Unload();
    EXPECT_EQ(window_->handle(), nullptr);
    window_->RunMessageLoop(); // returns at once
}

TEST_F(WindowTest, EndProgramEndsTheLoopAtOnce) {
    window_->EndProgram();
    EXPECT_EQ(window_->handle(), nullptr);
    window_->RunMessageLoop(); // returns at once
}

// What the window answered to WM_NCACTIVATE while it was being destroyed.
std::vector<LRESULT> g_deactivationAnswers;
HWND g_watchedWindow = nullptr;

LRESULT CALLBACK RecordDeactivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == g_watchedWindow && sent->message == WM_NCACTIVATE &&
        !sent->wParam)
        g_deactivationAnswers.push_back(sent->lResult);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WindowTest, ItsDestructionLetsTheNextWindowBeActivated) {
    window_->Show();
    SetActiveWindow(window_->handle());
    g_watchedWindow = window_->handle();
    g_deactivationAnswers.clear();
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, RecordDeactivation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    window_->Unload();
    UnhookWindowsHookEx(hook);
    ASSERT_FALSE(g_deactivationAnswers.empty());
    for (LRESULT answer : g_deactivationAnswers)
        EXPECT_NE(answer, 0) << "a window refusing deactivation keeps the next from activating";
}

TEST_F(WindowTest, AnErrorInAHandlerClosesTheWindowAndReachesItsOwner) {
    window_->SetClickHandler(
        [](ControlId) { throw PlatformError(L"Writing HKCR\\.pps\\", L"Access is denied."); });
    window_->Show();
    PostMessageW(Control(ControlId::Command2), BM_CLICK, 0, 0);
    try {
        window_->RunMessageLoop();
        ADD_FAILURE() << "the failure did not reach the window's owner";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.operation(), L"Writing HKCR\\.pps\\");
        EXPECT_EQ(error.reason(), L"Access is denied.");
    }
    EXPECT_EQ(window_->handle(), nullptr);
}

} // namespace
} // namespace dovrel
