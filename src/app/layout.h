#pragma once
// The MainWindow's fixed appearance and its controls, in the order in which
// both front ends create them. Places are relative to the parent's client
// area (a radio button's parent is its group box).
#include <optional>
#include <span>

#include "app/controls.h"

namespace tamsel {

enum class ControlKind { Label, GroupBox, RadioButton, PushButton };

struct ControlEntry {
  Control id;
  ControlKind kind;
  const char* text;  // in the platform's encoding
  int x, y, width, height;
  std::optional<Control> parent;  // none: the MainWindow itself
};

inline constexpr const char* kMainWindowCaption = "Tamselv1.0";
inline constexpr int kMainWindowWidth = 192;   // outer size, frame included
inline constexpr int kMainWindowHeight = 283;
// The client area a Windows MainWindow of that outer size has with the classic
// metrics (a 19-pixel caption bar and 3-pixel fixed frame); the Linux port
// gives its window this client area.
inline constexpr int kClientWidth = 186;
inline constexpr int kClientHeight = 258;

inline constexpr const char* kCreditLine = "Tamsel 文件备份 v1.0";

// The controls in creation order.
std::span<const ControlEntry> main_window_controls();

// The entry of one control.
const ControlEntry& control_entry(Control id);

// The other radio button of the same group box.
Control radio_partner(Control radio);

// Where the outer frame goes: centred on a screen, integer division.
struct Point {
  int x, y;
};
Point centred_origin(int screen_width, int screen_height);

}  // namespace tamsel
