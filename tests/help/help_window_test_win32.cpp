// The Win32 help window, opened for real and inspected from inside its own
// modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "backup/clock.h"
#include "help/help_actions.h"
#include "help/help_window.h"
#include "shell/shell.h"

namespace tamsel {
namespace {

constexpr char kCaptionBytes[] = "Tamsel-\xB0\xEF\xD6\xFA\xA3\xBA";  // Tamsel-帮助：

std::function<void(HWND)>& probe() {
  static std::function<void(HWND)> f;
  return f;
}
bool& probe_ran() {
  static bool ran = false;
  return ran;
}

HWND find_help() { return FindWindowA(nullptr, kCaptionBytes); }
HWND edit_of(HWND help) { return FindWindowExA(help, nullptr, "Edit", nullptr); }

// Fires once inside the help window's loop: runs the probe, then presses Esc
// in the edit box, which must close the window.
void CALLBACK on_open(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND help = find_help();
  probe_ran() = true;
  ASSERT_NE(help, nullptr);
  probe()(help);
  PostMessageA(edit_of(help), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

// Last resort so that a window which ignores Esc fails the test instead of
// hanging it.
void CALLBACK on_stuck(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ADD_FAILURE() << "the help window did not close on Esc";
  if (HWND help = find_help()) SendMessageA(help, WM_CLOSE, 0, 0);
}

// Opens the help window, runs check on it while it is open, closes it by Esc.
void open_and_check(std::function<void(HWND)> check) {
  probe() = std::move(check);
  probe_ran() = false;
  UINT_PTR open_timer = SetTimer(nullptr, 0, 50, on_open);
  UINT_PTR stuck_timer = SetTimer(nullptr, 0, 10000, on_stuck);
  open_help_window();
  KillTimer(nullptr, open_timer);
  KillTimer(nullptr, stuck_timer);
  EXPECT_TRUE(probe_ran());
  EXPECT_EQ(find_help(), nullptr) << "the window outlives its opening";
}

Text window_text(HWND window) {
  int length = GetWindowTextLengthA(window);
  Text text(static_cast<std::size_t>(length) + 1, '\0');
  int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got));
  return text;
}

RECT client_rect_of(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A plain top-level window of the test, standing in for the main window.
class OtherWindow {
 public:
  OtherWindow() {
    window_ = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                              100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~OtherWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

TEST(HelpWindow, FrameCaptionAndPlace) {
  open_and_check([](HWND help) {
    EXPECT_EQ(window_text(help), kCaptionBytes);
    RECT r;
    GetWindowRect(help, &r);
    EXPECT_EQ(r.right - r.left, 294);
    EXPECT_EQ(r.bottom - r.top, 242);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 294) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 242) / 2);

    const LONG_PTR style = GetWindowLongPtrA(help, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    const LONG_PTR ex_style = GetWindowLongPtrA(help, GWL_EXSTYLE);
    EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
    EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
    // An owned window gets no taskbar button; its owner is never shown.
    HWND owner = GetWindow(help, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_TRUE(IsWindowVisible(help));

    // The background drags the window like its caption bar.
    POINT background{136, 195};
    ClientToScreen(help, &background);
    EXPECT_EQ(SendMessageA(help, WM_NCHITTEST, 0, MAKELPARAM(background.x, background.y)),
              HTCAPTION);
  });
}

TEST(HelpWindow, ControlsTextAndColours) {
  open_and_check([](HWND help) {
    HWND edit = edit_of(help);
    HWND shortcut = FindWindowExA(help, nullptr, "Button", "创建桌面快捷方式");
    HWND homepage = FindWindowExA(help, nullptr, "Button", "去我的主页看看");
    ASSERT_TRUE(edit && shortcut && homepage);

    const struct {
      HWND control;
      RECT place;
    } places[] = {{edit, {-1, 0, 287, 176}},
                  {shortcut, {16, 181, 120, 205}},
                  {homepage, {152, 181, 256, 205}}};
    for (const auto& p : places) {
      RECT r = client_rect_of(p.control);
      EXPECT_EQ(r.left, p.place.left);
      EXPECT_EQ(r.top, p.place.top);
      EXPECT_EQ(r.right, p.place.right);
      EXPECT_EQ(r.bottom, p.place.bottom);
      EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(p.control, WM_GETFONT, 0, 0)),
                GetStockObject(DEFAULT_GUI_FONT));
    }

    const Text text = window_text(edit);
    EXPECT_EQ(text.size(), 258u);
    EXPECT_EQ(text, help_text());
    const LONG_PTR style = GetWindowLongPtrA(edit, GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | ES_WANTRETURN), ES_MULTILINE | ES_WANTRETURN);
    EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_TRUE(GetWindowLongPtrA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_GT(static_cast<unsigned long>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 1000000ul);
    EXPECT_EQ(GetFocus(), edit);

    // Black text on the button face.
    HDC dc = GetDC(edit);
    LRESULT brush = SendMessageA(help, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    ReleaseDC(edit, dc);
  });
}

TEST(HelpWindow, ModalOverTheOtherWindowsWhichGetTheirStateBack) {
  OtherWindow enabled;
  OtherWindow disabled;
  EnableWindow(disabled.get(), FALSE);
  open_and_check([&](HWND help) {
    EXPECT_FALSE(IsWindowEnabled(enabled.get()));
    EXPECT_FALSE(IsWindowEnabled(disabled.get()));
    EXPECT_TRUE(IsWindowEnabled(help));
  });
  EXPECT_TRUE(IsWindowEnabled(enabled.get()));
  EXPECT_FALSE(IsWindowEnabled(disabled.get()));
}

TEST(HelpWindow, EachOpeningShowsTheHelpTextAfresh) {
  open_and_check([](HWND help) {
    SetWindowTextA(edit_of(help), "typed by the user");
    EXPECT_EQ(window_text(edit_of(help)), "typed by the user");
  });
  open_and_check([](HWND help) { EXPECT_EQ(window_text(edit_of(help)), help_text()); });
}

LocalTime second_seven() {
  LocalTime t;
  t.second = 7;
  return t;
}

TEST(HelpWindow, TheHomepageButtonOpensTheHomepage) {
  std::vector<Text> opened;
  set_open_hook([&](const Text& target) { opened.push_back(target); });
  ClockSource previous = set_clock_source(second_seven);
  open_and_check([](HWND help) {
    SendMessageA(FindWindowExA(help, nullptr, "Button", "去我的主页看看"), BM_CLICK, 0, 0);
  });
  set_clock_source(previous);
  set_open_hook(nullptr);
  EXPECT_EQ(opened, std::vector<Text>{kFirstHomepage});
}

void CALLBACK quit_while_open(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  probe_ran() = find_help() != nullptr;
  PostQuitMessage(3);
}

TEST(HelpWindow, AQuitMessageEndsTheLoopAndIsPassedOn) {
  probe_ran() = false;
  probe() = [](HWND) {};
  // The quit arrives while the window is open; the window must close and the
  // quit must still reach the outer loop.
  UINT_PTR timer = SetTimer(nullptr, 0, 50, quit_while_open);
  open_help_window();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(probe_ran());
  EXPECT_EQ(find_help(), nullptr);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace tamsel
