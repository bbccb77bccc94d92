// The help window on Win32: an always-on-top window owned by a hidden window
// (so no taskbar button shows), run modal in its own message loop.
#include <windows.h>

#include "help/help_actions.h"
#include "help/help_window.h"
#include "shell/modal_guard_win32.h"

namespace tamsel {

namespace {

constexpr char kClassName[] = "TamselHelpWindow";
constexpr char kOwnerClassName[] = "TamselHelpOwner";
constexpr char kShortcutCaption[] = "创建桌面快捷方式";
constexpr char kHomepageCaption[] = "去我的主页看看";

enum ControlId : int { kEditId = 1, kShortcutButtonId = 2, kHomepageButtonId = 3 };

// Destroys its window when it goes out of scope.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  ~OwnedWindow() { reset(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  void reset(HWND window = nullptr) {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = window;
  }
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Per-opening state, reached from the window procedure.
struct HelpState {
  bool closed = false;
};

HelpState* state_of(HWND window) {
  return reinterpret_cast<HelpState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

HWND create_child(HWND parent, const char* window_class, const char* text, DWORD style,
                  DWORD ex_style, int x, int y, int width, int height, int id) {
  HWND child = CreateWindowExA(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y,
                               width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (child) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
  return child;
}

bool create_controls(HWND window) {
  const Text text = help_text();
  HWND edit = create_child(window, "EDIT", text.c_str(),
                           WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_LEFT,
                           WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, -1, 0, 288, 176, kEditId);
  if (!edit) return false;
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  // Creation hands the text over before the limit is lifted; set it again so
  // nothing of it can be cut.
  SetWindowTextA(edit, text.c_str());
  return create_child(window, "BUTTON", kShortcutCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, 16,
                      181, 104, 24, kShortcutButtonId) &&
         create_child(window, "BUTTON", kHomepageCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, 152,
                      181, 104, 24, kHomepageButtonId);
}

LRESULT CALLBACK help_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE:
      return create_controls(window) ? 0 : -1;
    case WM_NCHITTEST: {
      // The background of the window drags it like its caption bar does.
      LRESULT hit = DefWindowProcA(window, message, wparam, lparam);
      return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_NCACTIVATE:
      // The caption stays drawn active while the window is enabled.
      if (IsWindowEnabled(window)) return DefWindowProcA(window, message, TRUE, lparam);
      break;
    case WM_CTLCOLOREDIT: {
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) != kEditId) break;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == kShortcutButtonId) create_desktop_shortcut();
        if (LOWORD(wparam) == kHomepageButtonId) open_homepage();
        return 0;
      }
      break;
    case WM_CLOSE:
      // The modal loop ends and the opener destroys the window once the
      // other windows are enabled again, so activation returns to them.
      if (HelpState* state = state_of(window)) state->closed = true;
      return 0;
    case WM_DESTROY:
      if (HelpState* state = state_of(window)) state->closed = true;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool register_classes() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kClassName, &existing)) return true;

  WNDCLASSEXA help{};
  help.cbSize = sizeof help;
  help.lpfnWndProc = help_procedure;
  help.hInstance = instance;
  help.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  help.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  help.lpszClassName = kClassName;

  WNDCLASSEXA owner{};
  owner.cbSize = sizeof owner;
  owner.lpfnWndProc = DefWindowProcA;
  owner.hInstance = instance;
  owner.lpszClassName = kOwnerClassName;
  return RegisterClassExA(&owner) && RegisterClassExA(&help);
}

// Runs the window's modal loop until it is closed. Esc closes it from any of
// its controls; a quit message ends the loop and is passed on to the outer one.
void run_modal_loop(HWND window, const HelpState& state) {
  MSG message;
  while (!state.closed) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        (message.hwnd == window || IsChild(window, message.hwnd))) {
      SendMessageA(window, WM_CLOSE, 0, 0);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

void open_help_window() {
  if (!register_classes()) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HelpState state;
  // Declared before the guard so that the guard gives the other windows their
  // state back before these are destroyed.
  OwnedWindow owner;
  OwnedWindow help;
  ModalGuard guard;

  owner.reset(CreateWindowExA(0, kOwnerClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr));
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kHelpWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHelpHeight) / 2;
  help.reset(CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kClassName, kHelpCaption,
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y,
                             kHelpWidth, kHelpHeight, owner.get(), nullptr, instance, &state));
  if (!help.get()) return;
  ShowWindow(help.get(), SW_SHOWNORMAL);
  UpdateWindow(help.get());
  SetForegroundWindow(help.get());
  SetFocus(GetDlgItem(help.get(), kEditId));
  run_modal_loop(help.get(), state);
}

}  // namespace tamsel
