#include "ui/click_events.h"

#include "ui/form1.h"

namespace dovrel {

void DispatchClick(Form1& form, ControlId id) {
    switch (id) {
#define DOVREL_DISPATCH_CLICK(control, handler)                                                    \
    case ControlId::control:                                                                       \
        form.handler();                                                                            \
        break;
        DOVREL_CLICK_EVENTS(DOVREL_DISPATCH_CLICK)
#undef DOVREL_DISPATCH_CLICK
    default:
        break;
    }
}

} // namespace dovrel
