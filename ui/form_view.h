#pragma once

#include "ui/control_id.h"

namespace dovrel {

// The operations the logic performs on the window and its controls; nothing
// else about the window is visible to it.
class IFormView {
public:
    virtual ~IFormView() = default;
    virtual void Show() = 0;
    // Closes the window; the program ends once Load has returned.
    virtual void Unload() = 0;
    // Ends the program without unloading the window or raising further events.
    virtual void EndProgram() = 0;
    virtual void SetFocus(ControlId control) = 0;
    // Setting an option button from the logic raises no Click.
    virtual void SetOptionValue(ControlId option, bool value) = 0;
    virtual bool GetOptionValue(ControlId option) const = 0;
    // 0 unchecked, 1 checked.
    virtual int GetCheckValue(ControlId checkBox) const = 0;
    virtual void SetEnabled(ControlId button, bool enabled) = 0;
};

} // namespace dovrel
