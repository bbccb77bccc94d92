// The archive progress window on Windows: an owned, always-on-top popup with a
// caption and no close box, a static text with the item's name and a common
// progress bar. While it is shown the program's other top-level windows are
// disabled (as during the shell's copy), and every step dispatches the waiting
// messages so that all windows keep repainting.
#include <windows.h>

#include <commctrl.h>

#include "backup/progress_window.h"
#include "shell/modal_guard_win32.h"

namespace tamsel {

namespace {

const char kClassName[] = "TamselArchiveProgress";
constexpr int kWidth = 340;
constexpr int kHeight = 120;

LRESULT CALLBACK progress_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  // The archive cannot be stopped halfway; the window closes when it is done.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcA(window, message, w, l);
}

bool register_class() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSA cls{};
    cls.lpfnWndProc = progress_procedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    return RegisterClassA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// Dispatches what is waiting; a quit message is put back for the main loop.
void pump_messages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Paints the whole window now. A step repaints everything, not only the bar:
// a window shown inside a drop may not yet be on screen when it first paints
// (Wine maps it later), and what was drawn before would be lost.
void repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Centred on the owner's monitor work area, or on the primary screen.
POINT centred_position(HWND owner) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &info)) area = info.rcWork;
  }
  return POINT{area.left + (area.right - area.left - kWidth) / 2, area.top + (area.bottom - area.top - kHeight) / 2};
}

}  // namespace

struct ProgressWindow::Impl {
  ModalGuard guard;  // before the window, so that the window itself stays enabled
  HWND window = nullptr;
  HWND bar = nullptr;
  int shown = -1;

  ~Impl() {
    if (window) DestroyWindow(window);
  }
};

ProgressWindow::ProgressWindow(const Text& item_name) {
  if (!register_class()) return;
  HWND owner = GetActiveWindow();
  impl_ = std::make_unique<Impl>();
  POINT at = centred_position(owner);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  impl_->window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kClassName, "备份", WS_POPUP | WS_CAPTION,
                                  at.x, at.y, kWidth, kHeight, owner, nullptr, instance, nullptr);
  if (!impl_->window) {
    impl_.reset();
    return;
  }
  RECT client;
  GetClientRect(impl_->window, &client);
  const int inner = client.right - 24;
  HWND name = CreateWindowExA(0, "STATIC", item_name.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX |
                              SS_ENDELLIPSIS, 12, 12, inner, 18, impl_->window, nullptr, instance, nullptr);
  impl_->bar = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 12, 40, inner, 20,
                               impl_->window, nullptr, instance, nullptr);
  HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
  if (name) SendMessageA(name, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (impl_->bar) SendMessageA(impl_->bar, PBM_SETRANGE32, 0, 100);
  ShowWindow(impl_->window, SW_SHOWNORMAL);
  repaint(impl_->window);
  pump_messages();
}

ProgressWindow::~ProgressWindow() {
  if (!impl_) return;
  impl_.reset();  // the window goes first, then the other windows are enabled again
  pump_messages();
}

void ProgressWindow::show_percent(int percent) {
  if (!impl_) return;
  const int shown = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  if (shown != impl_->shown) {
    impl_->shown = shown;
    if (impl_->bar) SendMessageA(impl_->bar, PBM_SETPOS, shown, 0);
    repaint(impl_->window);
  }
  pump_messages();
}

}  // namespace tamsel
