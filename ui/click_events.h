#pragma once

#include "ui/control_id.h"

namespace dovrel {

class Form1;

// Whether a click on the control goes to a handler of the window's logic.
bool RaisesClick(ControlId id);

// Runs the control's Click handler; a control without one raises nothing.
void DispatchClick(Form1& form, ControlId id);

} // namespace dovrel
