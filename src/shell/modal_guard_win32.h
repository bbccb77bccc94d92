#pragma once
// While a shell dialog runs its own loop, every top-level window of this
// thread is disabled; afterwards each gets its former enabled state back and
// the former foreground and active windows are restored.
#include <windows.h>

#include <vector>

namespace tamsel {

class ModalGuard {
 public:
  ModalGuard();
  ~ModalGuard();
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

 private:
  struct Saved {
    HWND window;
    bool was_enabled;
  };
  std::vector<Saved> saved_;
  HWND foreground_;
  HWND active_;
};

}  // namespace tamsel
