#include <windows.h>
#include <ole2.h>

#include "app/layout.h"
#include "app/main_window.h"
#include "app/main_window_win32.h"
#include "app/program_end_win32.h"
#include "app/program_folder.h"

namespace tamsel {

namespace {
// OLE for the UI thread, for as long as the program runs.
class OleSession {
 public:
  OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (ok_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool ok_;
};

class OwnedWindow {
 public:
  explicit OwnedWindow(HWND window) : window_(window) {}
  ~OwnedWindow() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
  }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};
}  // namespace

int program_start() {
  OleSession ole;
  // A program in a drive root has the folder "X:", which alone would name the
  // drive's current directory rather than its root.
  Text folder = program_folder();
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  SetCurrentDirectoryA(folder.c_str());
  OwnedWindow owner(create_owner_window());
  if (!create_main_window(owner.get())) {
    MessageBoxA(nullptr, "无法创建程序窗口。", kMainWindowCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
  main_window_created();
  show_main_window();

  program_loop_begun(true);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    HWND window = main_window();
    if (window && IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  program_loop_begun(false);
  return 0;
}

}  // namespace tamsel
