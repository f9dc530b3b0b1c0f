#include "ui/click_events.h"

#include "ui/form1.h"

namespace dovrel {

namespace {

struct ClickEvent {
    ControlId control;
    void (Form1::*handler)();
};

// Every Click the window's logic handles; no other control raises one.
constexpr ClickEvent kClickEvents[] = {
    {ControlId::Option1, &Form1::OnOption1Click},   {ControlId::Option2, &Form1::OnOption2Click},
    {ControlId::Command1, &Form1::OnCommand1Click}, {ControlId::Command2, &Form1::OnCommand2Click},
    {ControlId::Image1, &Form1::OnImage1Click},     {ControlId::Label3, &Form1::OnLabel3Click},
};

const ClickEvent* EventOf(ControlId id) {
    for (const ClickEvent& event : kClickEvents)
        if (event.control == id)
            return &event;
    return nullptr;
}

} // namespace

bool RaisesClick(ControlId id) {
    return EventOf(id) != nullptr;
}

void DispatchClick(Form1& form, ControlId id) {
    if (const ClickEvent* event = EventOf(id))
        (form.*(event->handler))();
}

} // namespace dovrel
