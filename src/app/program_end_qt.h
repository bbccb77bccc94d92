#pragma once
// The end of the program: the event loop ends once no window is left.
#include <QtWidgets/QWidget>

namespace tamsel {

// Marks that program_start's event loop is running.
void program_loop_begun(bool running);

// Called when one of the program's windows closes: when no other visible
// top-level window is left and the loop is running, ends the loop.
void program_window_closed(QWidget* window);

}  // namespace tamsel
