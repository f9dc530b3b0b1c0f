#pragma once

namespace dovrel {

// The window's fifteen controls, in the order they are stored (each frame
// followed by the controls it contains).
enum class ControlId {
    Frame4,
    Label1,
    Label3,
    Frame3,
    Image1,
    Label4,
    Command2,
    Command1,
    Frame2,
    Check2,
    Check1,
    Frame1,
    Option2,
    Option1,
    Label2,
};

inline constexpr int kControlCount = 15;

} // namespace dovrel
