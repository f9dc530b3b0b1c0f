#pragma once

#include <windows.h>

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "platform/win32/system_library.h"
#include "ui/control_id.h"
#include "ui/form_view.h"
#include "ui/layout.h"
#include "ui/win32/gdi_handles.h"

namespace dovrel {

// The program's one window, "Dovrel for Windows XP", built with standard
// controls from the control table. All controls are siblings in the window's
// client area, created in tab order so the dialog manager's Tab follows it.
//
// Clicks the user makes on the six controls that have a handler are passed to
// the click handler. Whatever that handler throws is caught here, reported in
// a critical box, and ends the program with a non-zero exit code.
class MainWindow : public IFormView {
public:
    using ClickHandler = std::function<void(ControlId)>;

    // Creates the window and its controls, invisible. The icon is loaded from
    // `iconModule` (no icon if it has none). OLE must be initialised on this
    // thread. Raises PlatformError.
    MainWindow(HINSTANCE instance, HMODULE iconModule, int iconId);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void SetClickHandler(ClickHandler handler) { clickHandler_ = std::move(handler); }

    // Pumps messages until the window is gone or the program is ended; the
    // program's exit code.
    int RunMessageLoop();

    // Null once the window is destroyed.
    HWND handle() const { return window_.get(); }
    HBITMAP picture() const { return picture_.get(); }
    HWND control(ControlId id) const { return controls_[static_cast<int>(id)]; }
    const Dpi& dpi() const { return dpi_; }
    // True once the program was ended or the window unloaded.
    bool finished() const { return finished_; }

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

    void CreateControls(HINSTANCE instance);
    void SizeClientArea();
    void LoadIcons(HMODULE iconModule, int iconId);
    void ShowPicture();
    void AddPictureToolTip(HWND image, WPARAM wParam, LPARAM lParam);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND from);
    LRESULT OnControlColour(UINT message, HDC dc, HWND target);
    void OnActivate(bool active);
    void SelectOption(ControlId option);
    void RaiseClick(ControlId id);
    void Fail(std::exception_ptr error);
    const ControlSpec* SpecOf(HWND target) const;

    Dpi dpi_;
    ClickHandler clickHandler_;
    std::vector<UniqueFont> fonts_;
    UniqueBitmap picture_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::array<HWND, kControlCount> controls_{};
    std::array<WNDPROC, kControlCount> standardProcs_{};
    HWND optionTakingFocus_ = nullptr;
    HWND savedFocus_ = nullptr;
    bool centred_ = false;
    bool finished_ = false;
    bool failing_ = false;
    bool quitOnDestroy_ = false; // only once built, and not when its owner lets it go
    int exitCode_ = 0;
    // Loaded for the picture's tool tip, when the pointer first comes onto it.
    std::optional<SystemLibrary> commonControls_;
    HWND toolTip_ = nullptr; // owned by the window
    // Last, so the window (and its controls) go before the objects they use.
    UniqueWindow window_;
};

} // namespace dovrel
