#include "app/main_window_win32.h"

#include <array>
#include <memory>
#include <vector>

#include "app/events.h"
#include "app/label_win32.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/program_end_win32.h"

namespace tamsel {

namespace {
constexpr char kMainClass[] = "TamselMainWindow";
constexpr char kOwnerClass[] = "TamselOwner";
constexpr int kFirstControlId = 1001;
constexpr int kIconResource = 1;
constexpr std::size_t kControlCount = 12;

std::size_t index_of(Control id) { return static_cast<std::size_t>(id); }

// The control operations over the MainWindow's child windows.
class WindowControls final : public ControlHost {
 public:
  explicit WindowControls(const std::array<HWND, kControlCount>& windows) : windows_(windows) {}

  Text caption(Control label) const override {
    HWND window = labelled(label);
    if (!window) return Text();
    int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return Text(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
  }

  void set_caption(Control label, const Text& text) override {
    if (HWND window = labelled(label)) SetWindowTextA(window, text.c_str());
  }

  bool selected(Control radio) const override {
    HWND window = radio_window(radio);
    return window && SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  void set_selected(Control radio, bool on) override {
    if (HWND window = radio_window(radio)) {
      SendMessageA(window, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }

 private:
  HWND of_kind(Control id, ControlKind kind) const {
    return control_entry(id).kind == kind ? windows_[index_of(id)] : nullptr;
  }
  HWND labelled(Control id) const { return of_kind(id, ControlKind::Label); }
  HWND radio_window(Control id) const { return of_kind(id, ControlKind::RadioButton); }

  const std::array<HWND, kControlCount>& windows_;
};

struct MainWindowState {
  HWND window = nullptr;
  std::array<HWND, kControlCount> controls{};
  WindowControls host{controls};
  DropComponent drop{[](const Text& drop_list) {
    if (auto& dropped = main_window_events().dropped) dropped(drop_list);
  }};
};

std::unique_ptr<MainWindowState> g_state;

void raise(const std::function<void()>& event) {
  if (event) event();
}

// A click on a control, by its window identifier.
void control_clicked(int id, WORD code) {
  if (id < kFirstControlId || id >= kFirstControlId + static_cast<int>(kControlCount)) return;
  auto control = static_cast<Control>(id - kFirstControlId);
  MainWindowEvents& events = main_window_events();
  switch (control) {
    case Control::单选框1:
    case Control::单选框2:
    case Control::单选框3:
    case Control::单选框4:
      if (code == BN_CLICKED && events.radio_clicked) events.radio_clicked(control);
      break;
    case Control::按钮1:
      if (code == BN_CLICKED) raise(events.button1_clicked);
      break;
    case Control::按钮2:
      if (code == BN_CLICKED) raise(events.button2_clicked);
      break;
    case Control::标签1:
      if (code == STN_CLICKED) raise(events.label1_pressed);
      break;
    case Control::标签4:
      if (code == STN_CLICKED) raise(events.label4_pressed);
      break;
    default:
      break;
  }
}

LRESULT button_face(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Group boxes are the parents of their radio buttons: they pass the buttons'
// notifications and colour requests on to the MainWindow.
LRESULT CALLBACK group_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return SendMessageA(GetParent(window), message, wparam, lparam);
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wparam), &area, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    default:
      return CallWindowProcA(original, window, message, wparam, lparam);
  }
}

LRESULT CALLBACK main_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL && lparam == 0) {
        // Esc, through the message loop's dialog keys: closes as the close box does.
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      control_clicked(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return button_face(reinterpret_cast<HDC>(wparam));
    case WM_NCACTIVATE:
      // The caption bar stays drawn active while the window is enabled.
      if (IsWindowEnabled(window)) return DefWindowProcA(window, message, TRUE, lparam);
      break;
    case WM_DESTROY:
      if (g_state && g_state->window == window) {
        g_state->drop.revoke();
        if (control_host() == &g_state->host) set_control_host(nullptr);
      }
      program_window_destroyed(window);
      return 0;
    case WM_NCDESTROY:
      if (g_state && g_state->window == window) g_state.reset();
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool register_classes() {
  static bool registered = false;
  if (registered) return true;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA main_class = {};
  main_class.lpfnWndProc = main_proc;
  main_class.hInstance = instance;
  main_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  if (!main_class.hIcon) main_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  main_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  main_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  main_class.lpszClassName = kMainClass;

  WNDCLASSA owner_class = {};
  owner_class.lpfnWndProc = DefWindowProcA;
  owner_class.hInstance = instance;
  owner_class.lpszClassName = kOwnerClass;

  registered = RegisterClassA(&main_class) != 0 && RegisterClassA(&owner_class) != 0;
  return registered;
}

HWND create_control(const ControlEntry& entry, HWND parent, HFONT font) {
  auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id(entry.id)));
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = nullptr;
  switch (entry.kind) {
    case ControlKind::Label: {
      bool instruction = entry.id == Control::标签3;
      window = create_label(parent, control_id(entry.id), entry.text, entry.x, entry.y, entry.width,
                            entry.height, instruction ? WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME : 0,
                            instruction ? kLabelWrapRed : 0);
      break;
    }
    case ControlKind::GroupBox:
      window = CreateWindowExA(WS_EX_CONTROLPARENT, "BUTTON", entry.text,
                               WS_CHILD | WS_VISIBLE | BS_GROUPBOX, entry.x,
                               entry.y, entry.width, entry.height, parent, menu, instance, nullptr);
      if (window) {
        LONG_PTR original = SetWindowLongPtrA(window, GWLP_WNDPROC,
                                              reinterpret_cast<LONG_PTR>(group_box_proc));
        SetWindowLongPtrA(window, GWLP_USERDATA, original);
      }
      break;
    case ControlKind::RadioButton: {
      // The first radio button of a group box starts its exclusive group.
      bool first = GetWindow(parent, GW_CHILD) == nullptr;
      DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | BS_VCENTER;
      if (first) style |= WS_GROUP | WS_TABSTOP;
      window = CreateWindowExA(0, "BUTTON", entry.text, style, entry.x, entry.y, entry.width,
                               entry.height, parent, menu, instance, nullptr);
      break;
    }
    case ControlKind::PushButton:
      window = CreateWindowExA(0, "BUTTON", entry.text,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, entry.x, entry.y,
                               entry.width, entry.height, parent, menu, instance, nullptr);
      break;
  }
  if (window) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return window;
}
}  // namespace

int control_id(Control id) { return kFirstControlId + static_cast<int>(id); }

HWND create_owner_window() {
  if (!register_classes()) return nullptr;
  return CreateWindowExA(0, kOwnerClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND create_main_window(HWND owner) {
  if (g_state || !register_classes()) return nullptr;
  Point origin = centred_origin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, kMainClass, kMainWindowCaption,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, origin.x,
                                origin.y, kMainWindowWidth, kMainWindowHeight, owner, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  g_state = std::make_unique<MainWindowState>();
  g_state->window = window;

  auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlEntry& entry : main_window_controls()) {
    HWND parent = entry.parent ? g_state->controls[index_of(*entry.parent)] : window;
    HWND control = parent ? create_control(entry, parent, font) : nullptr;
    if (!control) {
      DestroyWindow(window);
      return nullptr;
    }
    g_state->controls[index_of(entry.id)] = control;
  }
  set_control_host(&g_state->host);
  return window;
}

HWND main_window() { return g_state ? g_state->window : nullptr; }

HWND control_window(Control id) { return g_state ? g_state->controls[index_of(id)] : nullptr; }

DropComponent* main_drop_component() { return g_state ? &g_state->drop : nullptr; }

void main_window_created() {
  if (!g_state) return;
  register_drop_target(g_state->drop, g_state->window);
  raise(main_window_events().created);
}

void show_main_window() {
  HWND window = main_window();
  if (!window) return;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
}

}  // namespace tamsel
