// The window Dovrel shows, and nothing else: the product's own MainWindow,
// shown as Dovrel shows it at start, without the start-up checks, the service
// objects or any logic behind its controls. What is left is what the window
// itself costs; Dovrel is measured against it.
#include <windows.h>

#include "app/win32/resource_ids.h"
#include "ui/control_id.h"
#include "ui/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using dovrel::ControlId;
    // Dovrel first takes the current directory out of DLL searches and loads
    // the window's DLLs from the system directory. Not done here: the system
    // loads those same DLLs for this window anyway, by bare name, so the
    // preload only decides where they come from, a protection of Dovrel's and
    // no cost of the window (measured: no difference the rounds resolve).
    dovrel::MainWindow window(instance, instance, DOVREL_ICON_ID);
    window.Show();
    window.SetOptionValue(ControlId::Option1, false);
    window.SetOptionValue(ControlId::Option2, false);
    window.SetFocus(ControlId::Command2);
    window.RunMessageLoop();
    return 0;
}
