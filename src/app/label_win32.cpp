#include "app/label_win32.h"

#include <vector>

namespace tamsel {

namespace {
constexpr char kLabelClass[] = "TamselLabel";
constexpr int kFontSlot = 0;
constexpr int kFlagsSlot = sizeof(LONG_PTR);

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));

  int length = GetWindowTextLengthA(window);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);

  auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(window, kFontSlot));
  HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
  DWORD flags = static_cast<DWORD>(GetWindowLongPtrA(window, kFlagsSlot));
  SetBkMode(dc, TRANSPARENT);
  UINT format = DT_NOPREFIX | DT_LEFT;
  if (flags & kLabelWrapRed) {
    SetTextColor(dc, RGB(255, 0, 0));
    format |= DT_WORDBREAK | DT_TOP;
  } else {
    SetTextColor(dc, RGB(0, 0, 0));
    format |= DT_SINGLELINE | DT_VCENTER;
  }
  DrawTextA(dc, text.data(), length, &area, format);
  if (old_font) SelectObject(dc, old_font);
  EndPaint(window, &ps);
}

LRESULT CALLBACK label_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      SetWindowLongPtrA(window, kFontSlot, static_cast<LONG_PTR>(wparam));
      if (LOWORD(lparam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrA(window, kFontSlot);
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(window, message, wparam, lparam);
      InvalidateRect(window, nullptr, TRUE);
      UpdateWindow(window);
      return result;
    }
    case WM_LBUTTONDOWN:
      SendMessageA(GetParent(window), WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED), reinterpret_cast<LPARAM>(window));
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

void register_label_class() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA window_class = {};
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = label_proc;
  window_class.cbWndExtra = 2 * sizeof(LONG_PTR);
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.lpszClassName = kLabelClass;
  registered = RegisterClassA(&window_class) != 0;
}
}  // namespace

HWND create_label(HWND parent, int id, const char* text, int x, int y, int width, int height,
                  DWORD ex_style, DWORD flags) {
  register_label_class();
  HWND label = CreateWindowExA(ex_style, kLabelClass, text, WS_CHILD | WS_VISIBLE, x, y, width,
                               height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (label) SetWindowLongPtrA(label, kFlagsSlot, static_cast<LONG_PTR>(flags));
  return label;
}

}  // namespace tamsel
