#pragma once
// The start and the end of the program, the same on every platform.

namespace tamsel {

// Runs the program: OLE, working directory, the MainWindow, its created event,
// the message loop. Returns the exit code, 0 once the MainWindow has closed.
int program_start();

// The MainWindow's created event: registers the drop target on the window,
// then raises the created event for the handlers attached to it.
void main_window_created();

// Attaches the handlers of the other subsystems to the MainWindow's events.
void attach_handlers();

}  // namespace tamsel
