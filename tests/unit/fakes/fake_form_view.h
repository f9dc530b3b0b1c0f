#pragma once

#include <map>

#include "tests/unit/fakes/call_log.h"
#include "ui/control_table.h"
#include "ui/form_view.h"

namespace dovrel::testing {

// The window's controls as plain state, starting as the control table says.
class FakeFormView : public IFormView {
public:
    explicit FakeFormView(CallLog& log) : log_(log) {
        for (const ControlSpec& spec : ControlTable()) {
            enabled[spec.id] = spec.enabled;
            values[spec.id] = spec.value;
        }
    }

    void Show() override {
        visible = true;
        log_.Add(L"view.Show");
    }
    void Unload() override {
        unloaded = true;
        log_.Add(L"view.Unload");
    }
    void EndProgram() override {
        ended = true;
        log_.Add(L"view.EndProgram");
    }
    void SetFocus(ControlId control) override {
        focus = control;
        log_.Add(std::wstring(L"view.SetFocus ") + FindControl(control).name);
    }
    void SetOptionValue(ControlId option, bool value) override {
        values[option] = value ? 1 : 0;
        log_.Add(std::wstring(L"view.SetOptionValue ") + FindControl(option).name +
                 (value ? L" true" : L" false"));
    }
    bool GetOptionValue(ControlId option) const override {
        log_.Add(std::wstring(L"view.GetOptionValue ") + FindControl(option).name);
        return values.at(option) != 0;
    }
    int GetCheckValue(ControlId checkBox) const override {
        log_.Add(std::wstring(L"view.GetCheckValue ") + FindControl(checkBox).name);
        return values.at(checkBox);
    }
    void SetEnabled(ControlId button, bool value) override {
        enabled[button] = value;
        log_.Add(std::wstring(L"view.SetEnabled ") + FindControl(button).name +
                 (value ? L" true" : L" false"));
    }

    // What the user would do, without raising any event.
    void Select(ControlId option) {
        values[ControlId::Option1] = 0;
        values[ControlId::Option2] = 0;
        values[option] = 1;
    }
    void Tick(ControlId checkBox, bool ticked) { values[checkBox] = ticked ? 1 : 0; }

    bool IsEnabled(ControlId id) const { return enabled.at(id); }
    bool IsSelected(ControlId id) const { return values.at(id) != 0; }

    bool visible = false;
    bool unloaded = false;
    bool ended = false;
    std::optional<ControlId> focus;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, int> values;

private:
    CallLog& log_;
};

} // namespace dovrel::testing
