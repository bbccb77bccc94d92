#include "shell/modal_guard_win32.h"

namespace tamsel {

namespace {
BOOL CALLBACK collect(HWND window, LPARAM param) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(param);
  list->push_back(window);
  return TRUE;
}
}  // namespace

ModalGuard::ModalGuard() : foreground_(GetForegroundWindow()), active_(GetActiveWindow()) {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&windows));
  for (HWND w : windows) {
    saved_.push_back({w, IsWindowEnabled(w) != FALSE});
    EnableWindow(w, FALSE);
  }
}

ModalGuard::~ModalGuard() {
  for (const Saved& s : saved_) {
    if (IsWindow(s.window)) EnableWindow(s.window, s.was_enabled ? TRUE : FALSE);
  }
  if (foreground_ && IsWindow(foreground_)) SetForegroundWindow(foreground_);
  if (active_ && IsWindow(active_)) SetActiveWindow(active_);
}

}  // namespace tamsel
