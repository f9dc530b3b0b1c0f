#pragma once

#include <windows.h>

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"
#include "ui/control_id.h"
#include "ui/form_view.h"
#include "ui/layout.h"

namespace dovrel {

// The program's one window, "Dovrel for Windows XP", built with standard
// controls from the control table. All controls are siblings in the window's
// client area, created in tab order so the dialog manager's Tab follows it.
//
// Clicks the user makes on the six controls that have a handler are passed to
// the click handler. Whatever that handler throws closes the window and is
// raised again by RunMessageLoop, for the window's owner to report.
class MainWindow : public IFormView {
public:
    using ClickHandler = std::function<void(ControlId)>;

    // Creates the window and its controls, invisible. The icon is loaded from
    // `iconModule` (no icon if it has none). Raises PlatformError.
    MainWindow(HINSTANCE instance, HMODULE iconModule, int iconId);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void SetClickHandler(ClickHandler handler) { clickHandler_ = std::move(handler); }

    // Pumps messages for as long as the window exists, then raises the
    // failure that closed it, if any.
    void RunMessageLoop();

    // Null once the window is destroyed.
    HWND handle() const { return window_.get(); }
    HWND control(ControlId id) const { return controls_[static_cast<int>(id)]; }
    const Dpi& dpi() const { return dpi_; }

    // IFormView
    void Show() override;
    void Unload() override;
    void EndProgram() override;
    void SetFocus(ControlId id) override;
    void SetOptionValue(ControlId option, bool value) override;
    bool GetOptionValue(ControlId option) const override;
    int GetCheckValue(ControlId checkBox) const override;
    void SetEnabled(ControlId button, bool enabled) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Our additions to the standard controls' behaviour.
    static LRESULT CALLBACK ControlProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    void Subclass(ControlId id);
    LRESULT CallStandardProc(ControlId id, UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls(HINSTANCE instance);
    void SizeClientArea();
    void LoadIcons(HMODULE iconModule, int iconId);
    void AddPictureToolTip(HWND image, WPARAM wParam, LPARAM lParam);
    void Close();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleControlMessage(ControlId id, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnControlFocus(ControlId id, WPARAM wParam, LPARAM lParam);
    void OnControlMouseMove(ControlId id, WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(ControlId id, WPARAM wParam, LPARAM lParam);
    bool OnControlKeyDown(ControlId id, WPARAM key);
    void OnCommand(int id, int code, HWND from);
    bool OnActivate(bool active);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnControlColour(UINT message, HDC dc, HWND target);
    void MoveWithinFrame(ControlId from);
    void SelectOption(ControlId option);
    void RaiseClick(ControlId id);
    void Fail(std::exception_ptr error);
    const ControlSpec* SpecOf(HWND target) const;

    Dpi dpi_;
    ClickHandler clickHandler_;
    std::vector<UniqueFont> fonts_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::array<HWND, kControlCount> controls_{};
    std::array<WNDPROC, kControlCount> standardProcs_{};
    HWND optionTakingFocus_ = nullptr;
    HWND savedFocus_ = nullptr;
    // Loaded for the picture's tool tip, when the pointer first comes onto it.
    bool toolTipTried_ = false;
    std::optional<SystemLibrary> commonControls_;
    // What made the window close, for RunMessageLoop to raise.
    std::exception_ptr failure_;
    // Set in WM_NCCREATE, cleared in WM_NCDESTROY: live for every message of
    // the window's life. Last, so the window (and its controls) go before the
    // objects they use.
    UniqueWindow window_;
};

} // namespace dovrel
