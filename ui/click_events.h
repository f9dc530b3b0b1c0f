#pragma once

#include "ui/control_id.h"

namespace dovrel {

class Form1;

// Every Click the window's logic handles: the control, then its Form1 handler.
// No other control raises one. The window needs only the first column, so it
// builds without the logic.
#define DOVREL_CLICK_EVENTS(EVENT)                                                                 \
    EVENT(Option1, OnOption1Click)                                                                 \
    EVENT(Option2, OnOption2Click)                                                                 \
    EVENT(Command1, OnCommand1Click)                                                               \
    EVENT(Command2, OnCommand2Click)                                                               \
    EVENT(Image1, OnImage1Click)                                                                   \
    EVENT(Label3, OnLabel3Click)

// Whether a click on the control goes to a handler of the window's logic.
inline bool RaisesClick(ControlId id) {
#define DOVREL_RAISES_CLICK(control, handler) id == ControlId::control ||
    return DOVREL_CLICK_EVENTS(DOVREL_RAISES_CLICK) false;
#undef DOVREL_RAISES_CLICK
}

// Runs the control's Click handler; a control without one raises nothing.
void DispatchClick(Form1& form, ControlId id);

} // namespace dovrel
