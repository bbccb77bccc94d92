#pragma once
// The help window: a small modal window that explains the program and offers
// a desktop shortcut and the homepage.
#include "backup/text.h"

namespace tamsel {

// The window's caption.
inline constexpr char kHelpCaption[] = "Tamsel-帮助：";

// Outer size of the window in pixels.
inline constexpr int kHelpWidth = 294;
inline constexpr int kHelpHeight = 242;

// The text of the help box: it begins with a line break, its lines are
// separated by line breaks (CR LF on Windows, LF on Linux) and it does not end
// in one.
Text help_text();

// Creates the window afresh, shows it modal over every other top-level window
// of the program and returns when it is closed.
void open_help_window();

}  // namespace tamsel
