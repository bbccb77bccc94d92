#include "app/program_end_win32.h"

namespace tamsel {

namespace {
bool g_loop_running = false;

struct Search {
  HWND leaving;
  bool found;
};

BOOL CALLBACK note_visible(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (window != search->leaving && IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

void program_loop_begun(bool running) { g_loop_running = running; }

void program_window_destroyed(HWND window) {
  if (!g_loop_running) return;
  Search search{window, false};
  EnumThreadWindows(GetCurrentThreadId(), note_visible, reinterpret_cast<LPARAM>(&search));
  if (!search.found) PostQuitMessage(0);
}

}  // namespace tamsel
