// The backup run end to end: real items in temporary folders, the real copy,
// archive writer and folder services; only the file manager that would open
// each backup folder is replaced by a recorder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/events.h"
#include "app/main_window.h"
#include "backup/clock.h"
#include "backup/names.h"
#include "backup/progress_window.h"
#include "backup/run_backup.h"
#include "shell/shell.h"
#include "support/fs.h"

#ifdef _WIN32
#include <windows.h>

#include <commctrl.h>

#include "app/main_window_win32.h"
#include "data_object_win32.h"
#else
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>

#include "app/main_window_qt.h"
#endif

namespace tamsel {
namespace {

using test::exists;
using test::is_dir;
using test::list_folder;
using test::make_folder;
using test::read_file;
using test::write_file;

const Text kTime = "2024年01月05日09时03分07秒";
const Text kSucceeded = "备份：成功！";
const Text kFailed = "备份：失败！";
const Text kCredit = "credit line";

LocalTime pinned_clock() { return LocalTime{2024, 1, 5, 9, 3, 7}; }

// Paths are put together here without any rule of the product; a plain
// separator also after a name whose last byte is 0x5C in code page 936.
Text at(const Text& folder, const Text& name) { return folder + kSeparator + name; }

Text list_of(const std::vector<Text>& paths) {
  Text list;
  for (const Text& p : paths) list += p + "\r\n";
  return list;
}

bool is_zip(const Text& path) {
  std::optional<Text> bytes = read_file(path);
  return bytes && bytes->compare(0, 4, "PK\x03\x04") == 0;
}

bool holds(const Text& path, const Text& part) {
  std::optional<Text> bytes = read_file(path);
  return bytes && bytes->find(part) != Text::npos;
}

// A folder with one file and one folder tree to back up, and a custom folder.
struct Items {
  test::TempFolder scratch;
  Text docs = at(scratch.path(), "docs");
  Text file = at(docs, "报告.txt");
  Text folder = at(docs, "photos");
  Text store = at(scratch.path(), "store");

  Items() {
    make_folder(docs);
    write_file(file, "report body");
    make_folder(folder);
    write_file(at(folder, "a.jpg"), "jpeg bytes");
    make_folder(at(folder, "sub"));
    write_file(at(at(folder, "sub"), "b.txt"), "nested");
    make_folder(store);
  }
  Text base() const { return at(at(store, "allvorinbak"), ""); }
};

class RunBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    set_control_host(&controls_);
    set_open_hook([this](const Text& target) {
      opened_.push_back(target);
      if (after_open_) after_open_(opened_.size());
    });
    previous_clock_ = set_clock_source(pinned_clock);
    controls_.set_caption(Control::标签4, kCredit);
    choose(Location::Default, Compression::PlainCopy);
  }
  void TearDown() override {
    set_clock_source(previous_clock_);
    set_open_hook(nullptr);
    set_control_host(nullptr);
    main_window_events() = MainWindowEvents();
  }

  void choose(Location location, Compression compression) {
    controls_.set_selected(Control::单选框3, location == Location::Default);
    controls_.set_selected(Control::单选框4, location == Location::Custom);
    controls_.set_selected(Control::单选框1, compression == Compression::PlainCopy);
    controls_.set_selected(Control::单选框2, compression == Compression::Archive);
  }
  Text status() const { return controls_.caption(Control::标签4); }

  MemoryControls controls_;
  std::vector<Text> opened_;
  std::function<void(std::size_t)> after_open_;  // runs after the n-th folder was opened
  ClockSource previous_clock_ = nullptr;
};

TEST_F(RunBackup, EveryRowOfTheDecisionTable) {
  struct Row {
    Location location;
    Compression compression;
    bool folder;
    const char* folder_name;  // BackupFolder, inside docs or the custom base
    Text name;                // BackupName
  };
  const Row rows[] = {
      {Location::Default, Compression::PlainCopy, true, "photosbak", "photos" + kTime},
      {Location::Default, Compression::PlainCopy, false, "报告bak", "报告" + kTime + ".txt"},
      {Location::Default, Compression::Archive, true, "photosbak", "photos" + kTime + ".zip"},
      {Location::Default, Compression::Archive, false, "报告bak", "报告" + kTime + ".zip"},
      {Location::Custom, Compression::PlainCopy, true, "photosbak", "photos" + kTime},
      {Location::Custom, Compression::PlainCopy, false, "报告bak", "报告" + kTime + ".txt"},
      {Location::Custom, Compression::Archive, true, "photosbak", "photos" + kTime + ".zip"},
      {Location::Custom, Compression::Archive, false, "报告bak", "报告" + kTime + ".zip"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Text(row.folder_name) + " " + row.name);
    Items items;
    opened_.clear();
    controls_.set_caption(Control::标签4, kCredit);
    controls_.set_caption(Control::标签1, items.store);
    choose(row.location, row.compression);
    ASSERT_FALSE(exists(at(items.store, "allvorinbak")));

    run_backup(row.folder ? items.folder : items.file);

    Text folder = row.location == Location::Default ? at(items.docs, row.folder_name)
                                                    : items.base() + row.folder_name;
    Text target = at(folder, row.name);
    EXPECT_EQ(list_folder(folder), std::vector<Text>{row.name});
    EXPECT_EQ(opened_, std::vector<Text>{folder});
    EXPECT_EQ(status(), kSucceeded);
    if (row.compression == Compression::Archive) {
      EXPECT_TRUE(is_zip(target));
      EXPECT_TRUE(holds(target, row.folder ? "a.jpg" : "报告.txt"));
    } else if (row.folder) {
      EXPECT_EQ(read_file(at(target, "a.jpg")), Text("jpeg bytes"));
      EXPECT_EQ(read_file(at(at(target, "sub"), "b.txt")), Text("nested"));
    } else {
      EXPECT_EQ(read_file(target), Text("report body"));
    }
    // The items themselves are untouched, and nothing else appears beside them.
    EXPECT_EQ(read_file(items.file), Text("report body"));
    EXPECT_EQ(list_folder(items.docs).size(), row.location == Location::Default ? 3u : 2u);
  }
}

TEST_F(RunBackup, AFailedItemDoesNotStopTheDropAndTheLastOutcomeShows) {
  struct Case {
    std::vector<int> order;  // 0: the file, 1: a vanished file, 2: the folder
    Text status;
  };
  const Case cases[] = {{{0, 1, 2}, kSucceeded}, {{2, 0, 1}, kFailed}};
  for (Compression compression : {Compression::PlainCopy, Compression::Archive}) {
    for (const Case& c : cases) {
      Items items;
      Text gone = at(items.docs, "gone.txt");
      const Text paths[] = {items.file, gone, items.folder};
      const Text folders[] = {at(items.docs, "报告bak"), at(items.docs, "gonebak"), at(items.docs, "photosbak")};
      std::vector<Text> drop;
      std::vector<Text> expected;
      for (int i : c.order) {
        drop.push_back(paths[i]);
        expected.push_back(folders[i]);
      }
      opened_.clear();
      choose(Location::Default, compression);
      run_backup(list_of(drop));
      EXPECT_EQ(opened_, expected);
      EXPECT_EQ(status(), c.status);
      // The vanished item's folder is made and opened all the same, and stays empty.
      EXPECT_TRUE(is_dir(folders[1]));
      EXPECT_TRUE(list_folder(folders[1]).empty());
      EXPECT_EQ(list_folder(folders[0]).size(), 1u);
      EXPECT_EQ(list_folder(folders[2]).size(), 1u);
    }
  }
}

TEST(DropList, SplitsAtEveryLineBreakPair) {
  struct Case {
    Text list;
    std::vector<Text> items;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\r\na", {"", "a"}},
      {"a\nb\rc\r\n", {"a\nb\rc"}},
      {"报告\r\n淺\r\n", {"报告", "淺"}},
  };
  for (const Case& c : cases) EXPECT_EQ(split_drop_list(c.list), c.items) << c.list;
}

TEST_F(RunBackup, DropListEdgeCases) {
  Items items;
  std::vector<Text> before = list_folder(items.docs);
  run_backup("");
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(status(), kCredit);

  // Empty and blank items are skipped: nothing is made for them, not even a
  // "bak" folder in the working directory.
  bool bak_before = exists("bak");
  run_backup("\r\n\r\n  \r\n");
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(status(), kCredit);
  EXPECT_EQ(list_folder(items.docs), before);
  EXPECT_EQ(exists("bak"), bak_before);

  run_backup(items.file + "\r\n");  // a final line break gives no further item
  EXPECT_EQ(opened_, std::vector<Text>{at(items.docs, "报告bak")});
  run_backup("\r\n" + items.folder + "\r\n\r\n" + items.file);
  EXPECT_EQ(opened_.size(), 3u);
  EXPECT_EQ(status(), kSucceeded);
}

TEST_F(RunBackup, ExistingBackupsAreNeverReplaced) {
  Items items;
  Text folder = at(items.docs, "报告bak");
  make_folder(folder);
  write_file(at(folder, "报告" + kTime + ".txt"), "older");
  run_backup(items.file);
  run_backup(items.file);
  EXPECT_EQ(list_folder(folder), (std::vector<Text>{"报告" + kTime + " (2).txt", "报告" + kTime + " (3).txt",
                                                    "报告" + kTime + ".txt"}));
  EXPECT_EQ(read_file(at(folder, "报告" + kTime + ".txt")), Text("older"));
  EXPECT_EQ(read_file(at(folder, "报告" + kTime + " (3).txt")), Text("report body"));

  choose(Location::Default, Compression::Archive);
  run_backup(list_of({items.folder, items.folder}));
  EXPECT_EQ(list_folder(at(items.docs, "photosbak")),
            (std::vector<Text>{"photos" + kTime + " (2).zip", "photos" + kTime + ".zip"}));
  choose(Location::Default, Compression::PlainCopy);
  run_backup(items.folder);
  EXPECT_TRUE(is_dir(at(at(items.docs, "photosbak"), "photos" + kTime)));
  EXPECT_EQ(status(), kSucceeded);
}

#ifndef _WIN32
// A Linux name may end in spaces: the backup is of that file, not of the
// file its trimmed name would point to, though it is named by the trimmed name.
TEST_F(RunBackup, ANameEndingInSpacesIsBackedUpItself) {
  Items items;
  const Text spaced = items.file + "  ";
  write_file(spaced, "the spaced one");
  run_backup(spaced);
  EXPECT_EQ(read_file(at(at(items.docs, "报告bak"), "报告" + kTime + ".txt")), Text("the spaced one"));
  EXPECT_EQ(status(), kSucceeded);

  choose(Location::Default, Compression::Archive);
  const Text lone = at(items.docs, "lone.txt ");
  write_file(lone, "alone");
  run_backup(lone);  // no lone.txt without the space exists
  EXPECT_TRUE(is_zip(at(at(items.docs, "lonebak"), "lone" + kTime + ".zip")));
  EXPECT_EQ(status(), kSucceeded);
}
#endif

TEST_F(RunBackup, SameNamesFromTwoFoldersInTheCustomLocationBothSurvive) {
  Items items;
  Text other = at(items.scratch.path(), "other");
  make_folder(other);
  write_file(at(other, "报告.txt"), "a different report, longer than the first one");
  controls_.set_caption(Control::标签1, items.store);
  choose(Location::Custom, Compression::Archive);
  run_backup(list_of({items.file, at(other, "报告.txt")}));
  Text folder = items.base() + "报告bak";
  ASSERT_EQ(list_folder(folder), (std::vector<Text>{"报告" + kTime + " (2).zip", "报告" + kTime + ".zip"}));
  EXPECT_NE(read_file(at(folder, "报告" + kTime + ".zip")), read_file(at(folder, "报告" + kTime + " (2).zip")));
  EXPECT_EQ(status(), kSucceeded);
}

TEST_F(RunBackup, LocationIsReadOncePerDropCompressionAndCustomFolderPerItem) {
  Items items;
  after_open_ = [this](std::size_t n) {
    if (n != 1) return;
    choose(Location::Custom, Compression::Archive);
  };
  run_backup(list_of({items.file, items.folder}));
  EXPECT_TRUE(exists(at(at(items.docs, "报告bak"), "报告" + kTime + ".txt")));
  EXPECT_TRUE(is_zip(at(at(items.docs, "photosbak"), "photos" + kTime + ".zip")));

  Text second = at(items.scratch.path(), "second");
  make_folder(second);
  controls_.set_caption(Control::标签1, items.store);
  after_open_ = [this, second](std::size_t n) {
    if (n == 3) controls_.set_caption(Control::标签1, second);
  };
  opened_.clear();
  opened_.resize(2);  // the numbering above goes on
  run_backup(list_of({items.file, items.folder}));
  EXPECT_EQ(opened_[2], items.base() + "报告bak");
  EXPECT_EQ(opened_[3], at(at(second, "allvorinbak"), "") + "photosbak");
  EXPECT_EQ(status(), kSucceeded);
}

TEST_F(RunBackup, CustomBaseIsMadeBeforeTheBackupFolder) {
  Items items;
  controls_.set_caption(Control::标签1, items.store);
  choose(Location::Custom, Compression::PlainCopy);
  ASSERT_FALSE(exists(at(items.store, "allvorinbak")));
  run_backup(items.file);
  EXPECT_EQ(status(), kSucceeded);
  EXPECT_EQ(list_folder(at(items.store, "allvorinbak")), std::vector<Text>{"报告bak"});

  // A custom folder that is gone: no folder can be made and the archive
  // cannot be written (the Windows shell's copy would make the folders itself).
  Text missing = at(items.scratch.path(), "missing");
  controls_.set_caption(Control::标签1, missing);
  choose(Location::Custom, Compression::Archive);
  run_backup(items.folder);
  EXPECT_EQ(status(), kFailed);
  EXPECT_FALSE(exists(missing));
  EXPECT_EQ(opened_.back(), at(at(missing, "allvorinbak"), "") + "photosbak");
}

TEST_F(RunBackup, DriveAndFileSystemRootsAreRefused) {
#ifdef _WIN32
  const Text root = "C:\\";
  const Text made = "C:\\bak";
#else
  const Text root = "/";
  const Text made = "/bak";
#endif
  bool made_before = exists(made);
  for (Compression compression : {Compression::PlainCopy, Compression::Archive}) {
    for (Location location : {Location::Default, Location::Custom}) {
      choose(location, compression);
      controls_.set_caption(Control::标签4, kCredit);
      run_backup(root);
      EXPECT_EQ(status(), kFailed);
    }
  }
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(exists(made), made_before);
}

TEST(RootPath, NamesOnlyWholeDrivesAndTheRoot) {
  struct Case {
    Text path;
    bool root;
  };
#ifdef _WIN32
  const Case cases[] = {{"C:\\", true},           {"C:", true},
                        {"d:\\ ", true},          {"\\", true},
                        {"\\\\server\\share", true}, {"\\\\server\\share\\", true},
                        {"\\\\server", true},     {"C:\\a", false},
                        {"\\\\server\\share\\x", false}, {"C:\\淺", false}};
#else
  const Case cases[] = {{"/", true}, {"//", true}, {" / ", true}, {"/a", false}, {"/a/", false}, {"/淺", false}};
#endif
  for (const Case& c : cases) EXPECT_EQ(is_root_path(c.path), c.root) << c.path;
}

TEST_F(RunBackup, AttachedToTheDropEvent) {
  Items items;
  attach_backup_handler();
  main_window_events().dropped(items.file);
  EXPECT_EQ(status(), kSucceeded);
  EXPECT_EQ(opened_, std::vector<Text>{at(items.docs, "报告bak")});
}

// What the archive progress window shows, read from the real window.
struct ShownProgress {
  bool visible = false;
  Text name;
  int percent = -1;
};

#ifdef _WIN32
ShownProgress shown_progress() {
  ShownProgress shown;
  HWND window = FindWindowA(nullptr, "备份");
  if (!window) return shown;
  shown.visible = IsWindowVisible(window) != FALSE;
  if (HWND label = FindWindowExA(window, nullptr, "Static", nullptr)) {
    char text[512];
    shown.name = Text(text, static_cast<std::size_t>(GetWindowTextA(label, text, sizeof text)));
  }
  if (HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr)) {
    shown.percent = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  }
  return shown;
}

std::function<void()>& pending_check() {
  static std::function<void()> check;
  return check;
}

LRESULT CALLBACK probe_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP && pending_check()) {
    std::function<void()> check = std::move(pending_check());
    pending_check() = nullptr;
    check();
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

// Runs the check at the first moment the run lets messages through.
void when_messages_flow(std::function<void()> check) {
  static HWND probe = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = probe_procedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TamselTestProbe";
    RegisterClassA(&cls);
    return CreateWindowExA(0, "TamselTestProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
  }();
  pending_check() = std::move(check);
  PostMessageA(probe, WM_APP, 0, 0);
}

TEST(ProgressWindow, DisablesTheOtherWindowsWhileShown) {
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(other);
  {
    tamsel::ProgressWindow progress("photos");
    EXPECT_FALSE(IsWindowEnabled(other));
  }
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
}
#else
ShownProgress shown_progress() {
  ShownProgress shown;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() != QString::fromUtf8("备份") || !widget->isVisible()) continue;
    shown.visible = true;
    EXPECT_TRUE(widget->isModal());
    if (auto* label = widget->findChild<QLabel*>()) shown.name = label->text().toStdString();
    if (auto* bar = widget->findChild<QProgressBar*>()) shown.percent = bar->value();
  }
  return shown;
}

void when_messages_flow(std::function<void()> check) { QTimer::singleShot(0, std::move(check)); }
#endif

TEST(ProgressWindow, ShowsTitleNameAndPercentageAndCloses) {
  {
    tamsel::ProgressWindow progress("photos 淺");
    ShownProgress shown = shown_progress();
    EXPECT_TRUE(shown.visible);
    EXPECT_EQ(shown.name, "photos 淺");
    EXPECT_EQ(shown.percent, 0);
    progress.show_percent(42);
    EXPECT_EQ(shown_progress().percent, 42);
    progress.show_percent(250);
    EXPECT_EQ(shown_progress().percent, 100);
  }
  EXPECT_FALSE(shown_progress().visible);
}

TEST_F(RunBackup, FolderArchiveShowsItsProgressWhileItIsWritten) {
  Items items;
  for (int i = 0; i < 40; ++i) write_file(at(items.folder, std::to_string(i) + ".txt"), Text(1000, 'x'));
  choose(Location::Default, Compression::Archive);
  ShownProgress during;
  when_messages_flow([&during] { during = shown_progress(); });
  run_backup(items.folder);
  EXPECT_EQ(status(), kSucceeded);
  EXPECT_TRUE(during.visible);
  EXPECT_EQ(during.name, "photos");
  EXPECT_FALSE(shown_progress().visible);
}

// A drop of real files on the real MainWindow, with the choices set in its
// radio buttons, ends in the backups and the StatusLine of that window.
#ifdef _WIN32
void drop_on_main_window(const std::vector<Text>& paths) {
  auto* data = new tamsel::testing::DataObject(tamsel::testing::DataObject::Offer::FileList, paths);
  IDropTarget* target = main_drop_component()->target();
  POINTL pt = {10, 10};
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(data, 0, pt, &effect);
  effect = DROPEFFECT_COPY;
  target->Drop(data, 0, pt, &effect);
  data->Release();
}

struct RealWindow {
  HWND owner = create_owner_window();
  RealWindow() { create_main_window(owner); }
  ~RealWindow() {
    if (owner) DestroyWindow(owner);
  }
};
#else
void drop_on_main_window(const std::vector<Text>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const Text& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromUtf8(p.c_str())));
  data.setUrls(urls);
  QPoint at(5, 5);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(main_window(), &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(main_window(), &drop);
}

struct RealWindow {
  MainWindowQt* window = create_main_window();
  ~RealWindow() { delete window; }
};
#endif

TEST(RunThroughTheMainWindow, DropBacksUpEveryItem) {
  Items items;
  std::vector<Text> opened;
  set_open_hook([&opened](const Text& target) { opened.push_back(target); });
  ClockSource previous = set_clock_source(pinned_clock);
  main_window_events() = MainWindowEvents{};
  {
    RealWindow window;
    attach_backup_handler();
    main_window_created();
    set_selected(Control::单选框2, true);  // archives
    set_selected(Control::单选框4, true);  // under the custom base
    set_caption(Control::标签1, items.store);
    drop_on_main_window({items.file, items.folder});
    EXPECT_EQ(caption(Control::标签4), kSucceeded);
  }
  EXPECT_EQ(opened, (std::vector<Text>{items.base() + "报告bak", items.base() + "photosbak"}));
  EXPECT_TRUE(is_zip(at(items.base() + "报告bak", "报告" + kTime + ".zip")));
  EXPECT_TRUE(is_zip(at(items.base() + "photosbak", "photos" + kTime + ".zip")));
  main_window_events() = MainWindowEvents{};
  set_clock_source(previous);
  set_open_hook(nullptr);
  set_control_host(nullptr);
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
#ifdef _WIN32
  OleInitialize(nullptr);  // the drop target of the MainWindow
#else
  QApplication application(argc, argv);  // the run lives inside the Qt front end
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
