// The Win32 MainWindow as real windows: its frame, controls, radio groups,
// events, drop target and, as a child process, the program's end.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "app/controls.h"
#include "app/drop_target_win32.h"
#include "app/events.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/main_window_win32.h"
#include "app/program_folder.h"
#include "data_object_win32.h"

namespace tamsel {
namespace {

using testing::DataObject;

void pump_messages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

Text window_text(HWND window) {
  char buffer[512] = {};
  int n = GetWindowTextA(window, buffer, sizeof buffer);
  return Text(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

RECT rect_in_parent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What the MainWindow's events have seen.
struct Recorder {
  std::vector<std::string> events;
  std::vector<Text> drops;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    MainWindowEvents& events = main_window_events();
    events = MainWindowEvents{};
    events.dropped = [this](const Text& list) { seen.drops.push_back(list); };
    events.radio_clicked = [this](Control radio) {
      seen.events.push_back("radio " + std::to_string(static_cast<int>(radio)));
    };
    events.button1_clicked = [this] { seen.events.push_back("button1"); };
    events.button2_clicked = [this] { seen.events.push_back("button2"); };
    events.label1_pressed = [this] { seen.events.push_back("label1"); };
    events.label4_pressed = [this] { seen.events.push_back("label4"); };
    owner = create_owner_window();
    ASSERT_NE(owner, nullptr);
    window = create_main_window(owner);
    ASSERT_NE(window, nullptr);
  }

  void TearDown() override {
    if (owner) DestroyWindow(owner);
    pump_messages();
    main_window_events() = MainWindowEvents{};
    OleUninitialize();
  }

  HWND control(Control id) { return control_window(id); }

  std::string radio_event(Control radio) {
    return "radio " + std::to_string(static_cast<int>(radio));
  }

  HWND owner = nullptr;
  HWND window = nullptr;
  Recorder seen;
};

TEST_F(MainWindowTest, FrameIsFixedTopmostOwnedAndCentred) {
  EXPECT_EQ(window_text(window), "Tamselv1.0");
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 192);
  EXPECT_EQ(outer.bottom - outer.top, 283);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 192) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 283) / 2);

  LONG style = GetWindowLongA(window, GWL_STYLE);
  LONG ex_style = GetWindowLongA(window, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  EXPECT_FALSE(IsWindowVisible(window)) << "created hidden";

  EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owner), nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));

  show_main_window();
  pump_messages();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsWindowVisible(owner));
  RECT shown;
  GetWindowRect(window, &shown);
  EXPECT_EQ(shown.left, outer.left);
  EXPECT_EQ(shown.top, outer.top);
  // The background is the button face.
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
}

TEST_F(MainWindowTest, ControlsHaveTheirTextsPlacesSizesAndParents) {
  for (const ControlEntry& entry : main_window_controls()) {
    HWND c = control(entry.id);
    ASSERT_NE(c, nullptr) << entry.text;
    HWND parent = entry.parent ? control(*entry.parent) : window;
    EXPECT_EQ(GetParent(c), parent) << entry.text;
    RECT r = rect_in_parent(c);
    EXPECT_EQ(r.left, entry.x) << entry.text;
    EXPECT_EQ(r.top, entry.y) << entry.text;
    EXPECT_EQ(r.right - r.left, entry.width) << entry.text;
    EXPECT_EQ(r.bottom - r.top, entry.height) << entry.text;
    EXPECT_EQ(window_text(c), Text(entry.text));
  }
  EXPECT_EQ(window_text(control(Control::标签4)), "Tamsel 文件备份 v1.0");
  EXPECT_EQ(window_text(control(Control::标签3)),
            "\r\n   拖放“文件”，或“文件夹”到“窗体”，即可完成备份。\r\n");
  EXPECT_EQ(window_text(control(Control::标签1)), "");
  LONG frame = GetWindowLongA(control(Control::标签3), GWL_EXSTYLE);
  EXPECT_TRUE(frame & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(frame & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(GetWindowLongA(control(Control::标签4), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // "yes" stands to the left of "no".
  EXPECT_LT(rect_in_parent(control(Control::单选框2)).left, rect_in_parent(control(Control::单选框1)).left);
}

TEST_F(MainWindowTest, ControlsAreCreatedInTableOrder) {
  // Child windows keep the order of their creation among their siblings.
  auto children_of = [](HWND parent) {
    std::vector<int> ids;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      ids.push_back(GetDlgCtrlID(c));
    }
    return ids;
  };
  std::vector<int> top, group1, group2;
  for (const ControlEntry& entry : main_window_controls()) {
    if (!entry.parent) top.push_back(control_id(entry.id));
    else if (*entry.parent == Control::分组框1) group1.push_back(control_id(entry.id));
    else group2.push_back(control_id(entry.id));
  }
  EXPECT_EQ(children_of(window), top);
  EXPECT_EQ(children_of(control(Control::分组框1)), group1);
  EXPECT_EQ(children_of(control(Control::分组框2)), group2);
  ASSERT_EQ(main_window_controls().size(), 12u);
  EXPECT_EQ(main_window_controls().front().id, Control::标签4);
  EXPECT_EQ(main_window_controls().back().id, Control::单选框2);
}

TEST_F(MainWindowTest, ClickSelectsWithinItsGroupAndRaisesEveryTime) {
  show_main_window();
  pump_messages();
  for (Control radio : {Control::单选框1, Control::单选框2, Control::单选框3, Control::单选框4}) {
    EXPECT_FALSE(selected(radio)) << "unselected at creation";
  }
  SendMessageA(control(Control::单选框3), BM_CLICK, 0, 0);
  EXPECT_TRUE(selected(Control::单选框3));
  SendMessageA(control(Control::单选框4), BM_CLICK, 0, 0);
  EXPECT_TRUE(selected(Control::单选框4));
  EXPECT_FALSE(selected(Control::单选框3)) << "the click clears the partner";
  SendMessageA(control(Control::单选框2), BM_CLICK, 0, 0);
  EXPECT_TRUE(selected(Control::单选框2));
  EXPECT_TRUE(selected(Control::单选框4)) << "the other group is independent";
  SendMessageA(control(Control::单选框2), BM_CLICK, 0, 0);
  EXPECT_TRUE(selected(Control::单选框2)) << "a click on the selected button keeps it";
  const std::vector<std::string> expected = {radio_event(Control::单选框3), radio_event(Control::单选框4),
                                             radio_event(Control::单选框2), radio_event(Control::单选框2)};
  EXPECT_EQ(seen.events, expected);
}

TEST_F(MainWindowTest, SelectingFromCodeLeavesThePartnerAndRaisesNothing) {
  SendMessageA(control(Control::单选框2), BM_CLICK, 0, 0);
  seen.events.clear();
  set_selected(Control::单选框1, true);
  EXPECT_TRUE(selected(Control::单选框1));
  EXPECT_TRUE(selected(Control::单选框2)) << "the partner keeps its state";
  set_selected(Control::单选框2, false);
  EXPECT_FALSE(selected(Control::单选框2));
  set_selected(Control::单选框3, true);
  EXPECT_TRUE(selected(Control::单选框3));
  EXPECT_FALSE(selected(Control::单选框4));
  pump_messages();
  EXPECT_TRUE(seen.events.empty());
}

TEST_F(MainWindowTest, CaptionsOfLabelsAreReadAndReplaced) {
  const Text folder = "D:\\R&D \xB1\xB8\xB7\xDD";  // an ampersand and GBK bytes
  set_caption(Control::标签1, folder);
  EXPECT_EQ(caption(Control::标签1), folder);
  EXPECT_EQ(window_text(control(Control::标签1)), folder);
  set_caption(Control::标签4, "备份：成功！");
  EXPECT_EQ(caption(Control::标签4), "备份：成功！");
  set_caption(Control::标签1, "");
  EXPECT_EQ(caption(Control::标签1), "");
  pump_messages();
  EXPECT_TRUE(seen.events.empty());
}

TEST_F(MainWindowTest, ButtonsAndLabelPressesRaiseTheirEvents) {
  show_main_window();
  pump_messages();
  SendMessageA(control(Control::按钮1), BM_CLICK, 0, 0);
  SendMessageA(control(Control::按钮2), BM_CLICK, 0, 0);
  // Label events fire when the button goes down, not when it is released.
  SendMessageA(control(Control::标签4), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(control(Control::标签4), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  SendMessageA(control(Control::标签1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(control(Control::标签2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(control(Control::标签3), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  const std::vector<std::string> expected = {"button1", "button2", "label4", "label1"};
  EXPECT_EQ(seen.events, expected);
}

TEST_F(MainWindowTest, CreatedEventRunsAfterTheDropTargetIsRegistered) {
  bool registered_when_created = false;
  int created = 0;
  main_window_events().created = [&] {
    ++created;
    // A second registration on the same window is refused once ours holds.
    IDropTarget* other = main_drop_component()->target();
    registered_when_created = RegisterDragDrop(window, other) == DRAGDROP_E_ALREADYREGISTERED;
  };
  main_window_created();
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(registered_when_created);
  EXPECT_FALSE(register_drop_target(*main_drop_component(), window)) << "one window per component";
}

TEST(DropComponent, RegistersOneWindowOnly) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  HWND a = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  {
    DropComponent component([](const Text&) {});
    EXPECT_TRUE(register_drop_target(component, a));
    EXPECT_FALSE(register_drop_target(component, b));
    EXPECT_EQ(component.window(), a);
    DropComponent failing([](const Text&) {});
    EXPECT_FALSE(register_drop_target(failing, a)) << "the window has a drop target already";
    EXPECT_FALSE(register_drop_target(failing, b)) << "still remembered as used";
  }
  // The component took its registration back when it went away.
  DropComponent again([](const Text&) {});
  EXPECT_TRUE(register_drop_target(again, a));
  again.revoke();
  DestroyWindow(a);
  DestroyWindow(b);
  OleUninitialize();
}

// The drop target as OLE drives it, with data objects made here.
class DropTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    component = new DropComponent([this](const Text& list) { drops.push_back(list); });
    target = component->target();
  }
  void TearDown() override {
    delete component;
    OleUninitialize();
  }

  // Enter, move and drop with the same keys; returns the drop's answer.
  HRESULT drag(IDataObject* data, DWORD keys, DWORD allowed, DWORD* enter_effect,
               DWORD* drop_effect) {
    POINTL pt = {10, 10};
    DWORD effect = allowed;
    EXPECT_EQ(target->DragEnter(data, keys, pt, &effect), S_OK);
    *enter_effect = effect;
    effect = allowed;
    EXPECT_EQ(target->DragOver(keys, pt, &effect), S_OK);
    EXPECT_EQ(effect, *enter_effect);
    effect = allowed;
    HRESULT hr = target->Drop(data, keys, pt, &effect);
    *drop_effect = effect;
    return hr;
  }

  DropComponent* component = nullptr;
  IDropTarget* target = nullptr;
  std::vector<Text> drops;
};

TEST_F(DropTargetTest, DeliversTheFileListAsOneDropListPerDrop) {
  const Text gbk = "D:\\\xB1\xB8\xB7\xDD\\\xB1\xA8\xB8\xE6.txt";  // D:\备份\报告.txt
  const Text long_path = "D:\\" + Text(400, 'a') + "\\" + Text(400, 'b');
  struct Case {
    const char* name;
    std::vector<Text> paths;
    Text expected;
  };
  const Case cases[] = {
      {"one file", {"D:\\a.txt"}, "D:\\a.txt"},
      {"three in the source's order", {"D:\\z.txt", gbk, "D:\\docs"},
       "D:\\z.txt\r\n" + gbk + "\r\nD:\\docs\r\n"},
      {"a drive root", {"C:\\"}, "C:\\"},
      {"a path longer than MAX_PATH", {long_path}, long_path},
      {"a list without entries", {}, ""},
  };
  for (const Case& c : cases) {
    drops.clear();
    auto* data = new DataObject(DataObject::Offer::FileList, c.paths);
    DWORD entered = 0, dropped = 0;
    HRESULT hr = drag(data, MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                      &entered, &dropped);
    EXPECT_EQ(hr, E_FAIL) << c.name;
    EXPECT_EQ(entered, DWORD{DROPEFFECT_COPY}) << c.name;
    EXPECT_EQ(dropped, DWORD{DROPEFFECT_COPY}) << c.name;
    ASSERT_EQ(drops.size(), 1u) << c.name;
    EXPECT_EQ(drops[0], c.expected) << c.name;
    EXPECT_EQ(data->get_data_calls(), 1) << c.name;
    data->Release();
  }
}

TEST_F(DropTargetTest, EffectFollowsCtrlShiftAndWhatTheSourceAllows) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  struct Case {
    const char* name;
    DWORD keys;
    DWORD allowed;
    DWORD expected;
  };
  const Case cases[] = {
      {"no keys", MK_LBUTTON, kAll, DROPEFFECT_COPY},
      {"no keys, move or link", MK_LBUTTON, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {"no keys, link only", MK_LBUTTON, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {"ctrl", MK_LBUTTON | MK_CONTROL, kAll, DROPEFFECT_COPY},
      {"ctrl, move only", MK_LBUTTON | MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {"shift", MK_LBUTTON | MK_SHIFT, kAll, DROPEFFECT_MOVE},
      {"shift, copy only", MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {"ctrl and shift", MK_LBUTTON | MK_CONTROL | MK_SHIFT, kAll, DROPEFFECT_NONE},
      {"alt and right button ignored", MK_RBUTTON | MK_ALT, kAll, DROPEFFECT_COPY},
      {"nothing allowed", MK_LBUTTON, DROPEFFECT_NONE, DROPEFFECT_NONE},
  };
  for (const Case& c : cases) {
    drops.clear();
    auto* data = new DataObject(DataObject::Offer::FileList, {"D:\\a.txt"});
    DWORD entered = 0, dropped = 0;
    EXPECT_EQ(drag(data, c.keys, c.allowed, &entered, &dropped), E_FAIL) << c.name;
    EXPECT_EQ(entered, c.expected) << c.name;
    EXPECT_EQ(dropped, c.expected) << c.name;
    EXPECT_EQ(drops.size(), c.expected == DROPEFFECT_NONE ? 0u : 1u) << c.name;
    if (c.expected == DROPEFFECT_NONE) {
      EXPECT_EQ(data->get_data_calls(), 0) << c.name;
    }
    data->Release();
  }
}

TEST_F(DropTargetTest, KeysAreReadAgainWhileMovingAndAtTheDrop) {
  auto* data = new DataObject(DataObject::Offer::FileList, {"D:\\a.txt"});
  POINTL pt = {1, 1};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(data, 0, pt, &effect);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_COPY});
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragOver(MK_SHIFT, pt, &effect);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_MOVE});
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->Drop(data, MK_CONTROL | MK_SHIFT, pt, &effect), E_FAIL);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
  EXPECT_TRUE(drops.empty()) << "released with Ctrl and Shift held";
  data->Release();
}

TEST_F(DropTargetTest, RefusesDragsWithoutAFileListAndFailedFetches) {
  POINTL pt = {1, 1};
  DWORD entered = 0, dropped = 0;
  auto* text = new DataObject(DataObject::Offer::TextOnly, {});
  EXPECT_EQ(drag(text, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, &entered, &dropped), E_FAIL);
  EXPECT_EQ(entered, DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(dropped, DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(text->get_data_calls(), 0);
  text->Release();

  auto* failing = new DataObject(DataObject::Offer::FileListThatFailsToFetch, {"D:\\a"});
  EXPECT_EQ(drag(failing, 0, DROPEFFECT_COPY, &entered, &dropped), E_FAIL);
  EXPECT_EQ(entered, DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(failing->get_data_calls(), 1);
  failing->Release();

  // After the drag has left, a drop is no longer acceptable.
  auto* files = new DataObject(DataObject::Offer::FileList, {"D:\\a"});
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(files, 0, pt, &effect);
  EXPECT_EQ(target->DragLeave(), S_OK);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(files, 0, pt, &effect), E_FAIL);
  EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
  files->Release();
  EXPECT_TRUE(drops.empty());
}

// The real program, started as a child process.
class ProgramProcess {
 public:
  ProgramProcess() {
    Text exe = program_folder() + "\\tamsel.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> command(exe.begin(), exe.end());
    command.push_back('\0');
    started_ = CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info_) != 0;
  }
  ~ProgramProcess() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool started() const { return started_; }

  // Its visible MainWindow, waiting up to the timeout for it to appear.
  HWND wait_for_window(DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
      Search search{info_.dwProcessId, nullptr};
      EnumWindows(find, reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
      if (WaitForSingleObject(info_.hProcess, 100) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }

  // The exit code once it has ended, or -1 when it is still running.
  long wait_for_exit(DWORD milliseconds) {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  struct Search {
    DWORD process;
    HWND found;
  };
  static BOOL CALLBACK find(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (process == search->process && IsWindowVisible(window) &&
        std::string(name) == "TamselMainWindow") {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
};

HWND child_with_text(HWND window, const char* text) {
  return FindWindowExA(window, nullptr, "BUTTON", text);
}

TEST(Program, ShowsItsWindowOwnedTopmostAndCentred) {
  ProgramProcess program;
  ASSERT_TRUE(program.started());
  HWND window = program.wait_for_window(30000);
  ASSERT_NE(window, nullptr);
  HWND owner = GetWindow(window, GW_OWNER);
  EXPECT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 192) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 283) / 2);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.wait_for_exit(30000), 0);
}

TEST(Program, EscapeAndTheCloseBoxEndItWithExitCodeZero) {
  struct Case {
    const char* name;
    bool to_button;
    UINT message;
    WPARAM wparam;
  };
  const Case cases[] = {
      {"Esc on the window", false, WM_KEYDOWN, VK_ESCAPE},
      {"Esc while a button has the focus", true, WM_KEYDOWN, VK_ESCAPE},
      {"the close box", false, WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const Case& c : cases) {
    ProgramProcess program;
    ASSERT_TRUE(program.started()) << c.name;
    HWND window = program.wait_for_window(30000);
    ASSERT_NE(window, nullptr) << c.name;
    HWND target = c.to_button ? child_with_text(window, "设置") : window;
    ASSERT_NE(target, nullptr) << c.name;
    LPARAM lparam = c.message == WM_KEYDOWN ? 1 : 0;
    PostMessageA(target, c.message, c.wparam, lparam);
    EXPECT_EQ(program.wait_for_exit(30000), 0) << c.name;
  }
}

// The version record and the icon inside tamsel.exe.
TEST(Program, CarriesItsVersionRecordAndIcon) {
  Text exe = program_folder() + "\\tamsel.exe";
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> record(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, record.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  for (const char* key : {"FileDescription", "Comments"}) {
    std::string query = std::string("\\StringFileInfo\\080404B0\\") + key;
    char* value = nullptr;
    ASSERT_TRUE(VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << key;
    EXPECT_STREQ(value, "文件备份") << key;
  }

  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */),
            nullptr);
  HANDLE icon = LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0);
  EXPECT_NE(icon, nullptr);
  if (icon) DestroyIcon(static_cast<HICON>(icon));
  FreeLibrary(module);
}

TEST(Program, OtherKeysLeaveItRunning) {
  ProgramProcess program;
  ASSERT_TRUE(program.started());
  HWND window = program.wait_for_window(30000);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_KEYDOWN, 'A', 1);
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(program.wait_for_exit(1500), -1);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.wait_for_exit(30000), 0);
}

}  // namespace
}  // namespace tamsel
