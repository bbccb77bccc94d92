#pragma once
// The end of the program: the quit message once no window is left.
#include <windows.h>

namespace tamsel {

// Marks that program_start's message loop is running.
void program_loop_begun(bool running);

// Called from WM_DESTROY of each of the program's windows: when no other
// visible top-level window of the thread is left and the loop is running,
// posts the quit message.
void program_window_destroyed(HWND window);

}  // namespace tamsel
