// The Qt MainWindow as real widgets on the offscreen platform: its frame,
// controls, radio groups, events, drop target and its closing.
#include <gtest/gtest.h>

#include <QtCore/QFileInfo>
#include <QtCore/QMimeData>
#include <QtCore/QPointer>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QDropEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <string>
#include <vector>

#include "app/controls.h"
#include "app/events.h"
#include "app/label_qt.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/main_window_qt.h"
#include "app/program_end_qt.h"

namespace tamsel {
namespace {

Text widget_text(QWidget* widget) {
  if (auto* label = dynamic_cast<LabelQt*>(widget)) return label->text();
  if (auto* button = dynamic_cast<QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* box = dynamic_cast<QGroupBox*>(widget)) return box->title().toStdString();
  return "?";
}

class MainWindowQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindowEvents& events = main_window_events();
    events = MainWindowEvents{};
    events.dropped = [this](const Text& list) { drops.push_back(list); };
    events.radio_clicked = [this](Control radio) { seen.push_back(radio_event(radio)); };
    events.button1_clicked = [this] { seen.push_back("button1"); };
    events.button2_clicked = [this] { seen.push_back("button2"); };
    events.label1_pressed = [this] { seen.push_back("label1"); };
    events.label4_pressed = [this] { seen.push_back("label4"); };
    window = create_main_window();
    ASSERT_NE(window.data(), nullptr);
  }

  void TearDown() override {
    delete window.data();
    main_window_events() = MainWindowEvents{};
  }

  static std::string radio_event(Control radio) {
    return "radio " + std::to_string(static_cast<int>(radio));
  }

  QWidget* control(Control id) { return window->control(id); }

  QPointer<MainWindowQt> window;
  std::vector<std::string> seen;
  std::vector<Text> drops;
};

TEST_F(MainWindowQtTest, FrameIsAFixedToolWindowOnTop) {
  EXPECT_EQ(window->windowTitle().toStdString(), "Tamselv1.0");
  EXPECT_EQ(window->size(), QSize(kClientWidth, kClientHeight));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
  Qt::WindowFlags flags = window->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool) << "no taskbar entry";
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(window->isVisible()) << "created hidden";
  EXPECT_EQ(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));
  EXPECT_TRUE(window->autoFillBackground());
  QFontInfo font(window->font());
  EXPECT_EQ(font.pixelSize(), 12);

  show_main_window();
  EXPECT_TRUE(window->isVisible());
  QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window->frameGeometry().x(), screen.x() + (screen.width() - 192) / 2);
  EXPECT_EQ(window->frameGeometry().y(), screen.y() + (screen.height() - 283) / 2);
}

TEST_F(MainWindowQtTest, ControlsHaveTheirTextsPlacesSizesAndParents) {
  for (const ControlEntry& entry : main_window_controls()) {
    QWidget* c = control(entry.id);
    ASSERT_NE(c, nullptr) << entry.text;
    QWidget* parent = entry.parent ? control(*entry.parent) : window.data();
    EXPECT_EQ(c->parentWidget(), parent) << entry.text;
    EXPECT_EQ(c->geometry(), QRect(entry.x, entry.y, entry.width, entry.height)) << entry.text;
    EXPECT_EQ(widget_text(c), Text(entry.text));
  }
  EXPECT_EQ(widget_text(control(Control::标签4)), "Tamsel 文件备份 v1.0");
  EXPECT_NE(dynamic_cast<QRadioButton*>(control(Control::单选框2)), nullptr);
  EXPECT_NE(dynamic_cast<QPushButton*>(control(Control::按钮1)), nullptr);
  EXPECT_NE(dynamic_cast<QGroupBox*>(control(Control::分组框1)), nullptr);
}

TEST_F(MainWindowQtTest, ControlsAreCreatedInTableOrder) {
  auto widgets_of = [](QWidget* parent) {
    std::vector<QWidget*> list;
    for (QObject* child : parent->children()) {
      if (auto* w = qobject_cast<QWidget*>(child)) list.push_back(w);
    }
    return list;
  };
  std::vector<QWidget*> top, group1, group2;
  for (const ControlEntry& entry : main_window_controls()) {
    if (!entry.parent) top.push_back(control(entry.id));
    else if (*entry.parent == Control::分组框1) group1.push_back(control(entry.id));
    else group2.push_back(control(entry.id));
  }
  EXPECT_EQ(widgets_of(window), top);
  EXPECT_EQ(widgets_of(control(Control::分组框1)), group1);
  EXPECT_EQ(widgets_of(control(Control::分组框2)), group2);
}

TEST_F(MainWindowQtTest, ClickSelectsWithinItsGroupAndRaisesEveryTime) {
  show_main_window();
  for (Control radio : {Control::单选框1, Control::单选框2, Control::单选框3, Control::单选框4}) {
    EXPECT_FALSE(selected(radio)) << "unselected at creation";
  }
  auto click = [this](Control radio) {
    QTest::mouseClick(control(radio), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  };
  click(Control::单选框3);
  EXPECT_TRUE(selected(Control::单选框3));
  click(Control::单选框4);
  EXPECT_TRUE(selected(Control::单选框4));
  EXPECT_FALSE(selected(Control::单选框3)) << "the click clears the partner";
  click(Control::单选框2);
  EXPECT_TRUE(selected(Control::单选框2));
  EXPECT_TRUE(selected(Control::单选框4)) << "the other group is independent";
  click(Control::单选框2);
  EXPECT_TRUE(selected(Control::单选框2)) << "a click on the selected button keeps it";
  const std::vector<std::string> expected = {radio_event(Control::单选框3), radio_event(Control::单选框4),
                                             radio_event(Control::单选框2), radio_event(Control::单选框2)};
  EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowQtTest, SelectingFromCodeLeavesThePartnerAndRaisesNothing) {
  show_main_window();
  QTest::mouseClick(control(Control::单选框2), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  seen.clear();
  set_selected(Control::单选框1, true);
  EXPECT_TRUE(selected(Control::单选框1));
  EXPECT_TRUE(selected(Control::单选框2)) << "the partner keeps its state";
  set_selected(Control::单选框2, false);
  EXPECT_FALSE(selected(Control::单选框2));
  set_selected(Control::单选框4, true);
  EXPECT_FALSE(selected(Control::单选框3));
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen.empty());
}

TEST_F(MainWindowQtTest, CaptionsOfLabelsAreReadAndReplaced) {
  const Text folder = "/home/u/R&D \xE5\xA4\x87\xFF";  // an ampersand and a byte that is not UTF-8
  set_caption(Control::标签1, folder);
  EXPECT_EQ(caption(Control::标签1), folder);
  set_caption(Control::标签4, "备份：成功！");
  EXPECT_EQ(caption(Control::标签4), "备份：成功！");
  set_caption(Control::标签1, "");
  EXPECT_EQ(caption(Control::标签1), "");
  EXPECT_EQ(caption(Control::单选框1), "") << "not a label";
  EXPECT_TRUE(seen.empty());
}

TEST_F(MainWindowQtTest, ButtonsAndLabelPressesRaiseTheirEvents) {
  show_main_window();
  QTest::mouseClick(control(Control::按钮1), Qt::LeftButton);
  QTest::mouseClick(control(Control::按钮2), Qt::LeftButton);
  QTest::mousePress(control(Control::标签4), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(seen.back(), "label4") << "fires when the button goes down";
  QTest::mouseRelease(control(Control::标签4), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mousePress(control(Control::标签1), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseRelease(control(Control::标签1), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseClick(control(Control::标签4), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
  QTest::mouseClick(control(Control::标签2), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  const std::vector<std::string> expected = {"button1", "button2", "label4", "label1"};
  EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowQtTest, CreatedEventRunsAfterTheDropTargetIsRegistered) {
  bool registered_when_created = false;
  int created = 0;
  main_window_events().created = [&] {
    ++created;
    registered_when_created = window->acceptDrops() && window->drop_component().window() == window;
  };
  EXPECT_FALSE(window->acceptDrops());
  main_window_created();
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(registered_when_created);
  EXPECT_FALSE(register_drop_target(window->drop_component(), window)) << "one window per component";
}

TEST_F(MainWindowQtTest, EscapeClosesTheWindowAndEndsTheLoop) {
  show_main_window();
  QPointer<QWidget> button = control(Control::按钮1);
  button->setFocus();
  QTimer::singleShot(0, button, [button] { QTest::keyClick(button, Qt::Key_Escape); });
  bool timed_out = false;
  QTimer::singleShot(10000, qApp, [&] {
    timed_out = true;
    QCoreApplication::quit();
  });
  program_loop_begun(true);
  QApplication::exec();
  program_loop_begun(false);
  EXPECT_FALSE(timed_out);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull()) << "closed and gone";
  EXPECT_EQ(main_window(), nullptr);
  EXPECT_EQ(control_host(), nullptr);
}

TEST_F(MainWindowQtTest, OtherKeysAndClosingOutsideTheLoopLeaveTheProgramAlone) {
  show_main_window();
  QTest::keyClick(window, Qt::Key_A);
  QTest::keyClick(window, Qt::Key_Return);
  EXPECT_FALSE(window.isNull());
  EXPECT_TRUE(window->isVisible());
  QTest::keyClick(window, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

// Drags as a file manager or another program offers them.
struct Offer {
  std::vector<QUrl> urls;
  QString text;
  QString html;
};

QMimeData* make_data(const Offer& offer) {
  auto* data = new QMimeData;
  if (!offer.urls.empty()) data->setUrls(QList<QUrl>(offer.urls.begin(), offer.urls.end()));
  if (!offer.text.isEmpty()) data->setText(offer.text);
  if (!offer.html.isEmpty()) data->setHtml(offer.html);
  return data;
}

class DropQtTest : public MainWindowQtTest {
 protected:
  void SetUp() override {
    MainWindowQtTest::SetUp();
    main_window_created();
    show_main_window();
  }

  struct Answer {
    bool enter_accepted;
    Qt::DropAction enter_action;
    bool drop_accepted;
    Qt::DropAction drop_action;
  };

  // Enter, move and drop at one point of a widget with the same keys.
  Answer drag(QWidget* over, const Offer& offer, Qt::DropActions allowed,
              Qt::KeyboardModifiers keys = Qt::NoModifier) {
    std::unique_ptr<QMimeData> data(make_data(offer));
    QPoint at(5, 5);
    Answer answer{};
    QDragEnterEvent enter(at, allowed, data.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(over, &enter);
    answer.enter_accepted = enter.isAccepted();
    answer.enter_action = enter.dropAction();
    QDragMoveEvent move(at, allowed, data.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(over, &move);
    EXPECT_EQ(move.isAccepted(), answer.enter_accepted);
    QDropEvent drop(QPointF(at), allowed, data.get(), Qt::NoButton, keys);
    QApplication::sendEvent(over, &drop);
    answer.drop_accepted = drop.isAccepted();
    answer.drop_action = drop.dropAction();
    return answer;
  }
};

QUrl file(const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); }

TEST_F(DropQtTest, LocalFilesBecomeOneDropListInTheSourcesOrder) {
  struct Case {
    const char* name;
    Offer offer;
    Text expected;
  };
  const Case cases[] = {
      {"one file", {{file("/home/u/a.txt")}, {}, {}}, "/home/u/a.txt"},
      {"three in order",
       {{file("/srv/z"), file("/home/u/备份/报告.txt"), file("/home/u/docs")}, {}, {}},
       "/srv/z\r\n/home/u/备份/报告.txt\r\n/home/u/docs\r\n"},
      {"a name that is not UTF-8", {{QUrl(QStringLiteral("file:///tmp/%B1%B8.txt"))}, {}, {}},
       "/tmp/\xB1\xB8.txt"},
      {"a folder URL with a trailing slash", {{QUrl(QStringLiteral("file:///home/u/docs/"))}, {}, {}},
       "/home/u/docs"},
      {"the root", {{QUrl(QStringLiteral("file:///"))}, {}, {}}, "/"},
      {"localhost", {{QUrl(QStringLiteral("file://localhost/etc/hosts"))}, {}, {}}, "/etc/hosts"},
      {"the text beside the file list is not used",
       {{file("/home/u/a.txt")}, QStringLiteral("/home/u/a.txt"), QStringLiteral("<b>x</b>")},
       "/home/u/a.txt"},
  };
  for (const Case& c : cases) {
    drops.clear();
    Answer a = drag(window, c.offer, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    EXPECT_TRUE(a.enter_accepted) << c.name;
    EXPECT_EQ(a.enter_action, Qt::CopyAction) << c.name;
    EXPECT_TRUE(a.drop_accepted) << c.name;
    EXPECT_EQ(a.drop_action, Qt::CopyAction) << c.name;
    ASSERT_EQ(drops.size(), 1u) << c.name;
    EXPECT_EQ(drops[0], c.expected) << c.name;
  }
}

TEST_F(DropQtTest, RefusesTextWebAddressesAndForeignFiles) {
  const Offer offers[] = {
      {{}, QStringLiteral("some text"), {}},
      {{}, {}, QStringLiteral("<a href='https://example.org'>x</a>")},
      {{QUrl(QStringLiteral("https://example.org/a.txt"))}, {}, {}},
      {{file("/home/u/a.txt"), QUrl(QStringLiteral("https://example.org/"))}, {}, {}},
      {{QUrl(QStringLiteral("file://server/share/a.txt"))}, {}, {}},
      {{QUrl(QStringLiteral("ftp://example.org/a.txt"))}, QStringLiteral("x"), {}},
  };
  for (const Offer& offer : offers) {
    Answer a = drag(window, offer, Qt::CopyAction | Qt::MoveAction);
    EXPECT_FALSE(a.enter_accepted);
    EXPECT_EQ(a.enter_action, Qt::IgnoreAction);
    EXPECT_FALSE(a.drop_accepted);
  }
  // Over a label or a button the window answers for them.
  EXPECT_FALSE(drag(control(Control::标签3), offers[0], Qt::CopyAction).enter_accepted);
  EXPECT_FALSE(drag(control(Control::按钮1), offers[2], Qt::CopyAction).drop_accepted);
  EXPECT_TRUE(drops.empty());
}

TEST_F(DropQtTest, DropsOverControlsReachTheWindow) {
  Answer a = drag(control(Control::单选框1), {{file("/home/u/a.txt")}, {}, {}}, Qt::CopyAction);
  EXPECT_TRUE(a.drop_accepted);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0], "/home/u/a.txt");
}

TEST_F(DropQtTest, EffectFollowsCtrlShiftAndTheSourceNeverSeesAMove) {
  const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  struct Case {
    const char* name;
    Qt::KeyboardModifiers keys;
    Qt::DropActions allowed;
    Qt::DropAction shown;     // while the drag moves
    bool delivered;           // the DropList reaches the event
    Qt::DropAction finished;  // what the source is told at the drop
  };
  const Case cases[] = {
      {"no keys", Qt::NoModifier, all, Qt::CopyAction, true, Qt::CopyAction},
      {"ctrl", Qt::ControlModifier, all, Qt::CopyAction, true, Qt::CopyAction},
      {"shift shows a move, finishes as a copy", Qt::ShiftModifier, all, Qt::MoveAction, true,
       Qt::CopyAction},
      {"ctrl and shift", Qt::ControlModifier | Qt::ShiftModifier, all, Qt::IgnoreAction, false,
       Qt::IgnoreAction},
      {"shift, copy only", Qt::ShiftModifier, Qt::CopyAction, Qt::IgnoreAction, false, Qt::IgnoreAction},
      {"ctrl, move only", Qt::ControlModifier, Qt::MoveAction, Qt::IgnoreAction, false,
       Qt::IgnoreAction},
      {"move only: backed up, refused to the source", Qt::NoModifier, Qt::MoveAction, Qt::MoveAction,
       true, Qt::IgnoreAction},
      {"link only", Qt::NoModifier, Qt::LinkAction, Qt::LinkAction, true, Qt::IgnoreAction},
      {"alt ignored", Qt::AltModifier, all, Qt::CopyAction, true, Qt::CopyAction},
  };
  for (const Case& c : cases) {
    drops.clear();
    Answer a = drag(window, {{file("/home/u/a.txt")}, {}, {}}, c.allowed, c.keys);
    EXPECT_EQ(a.enter_action, c.shown) << c.name;
    EXPECT_EQ(a.enter_accepted, c.shown != Qt::IgnoreAction) << c.name;
    EXPECT_EQ(drops.size(), c.delivered ? 1u : 0u) << c.name;
    // A refused drop's action means nothing to the source; an accepted one is a copy.
    EXPECT_EQ(a.drop_accepted, c.finished != Qt::IgnoreAction) << c.name;
    if (a.drop_accepted) {
      EXPECT_EQ(a.drop_action, c.finished) << c.name;
      EXPECT_NE(a.drop_action, Qt::MoveAction) << c.name;
    }
  }
}

TEST_F(DropQtTest, ADropAfterTheDragLeftDoesNothing) {
  std::unique_ptr<QMimeData> data(make_data({{file("/home/u/a.txt")}, {}, {}}));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDragLeaveEvent leave;
  QApplication::sendEvent(window, &leave);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window, &drop);
  EXPECT_FALSE(drop.isAccepted());
  EXPECT_TRUE(drops.empty());
}

// The real program on the X display the tests run under.
QString run_tool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(10000)) return QString();
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

TEST(ProgramOnX11, StaysOffTheTaskbarOnTopAndEscapeEndsItWithZero) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X display";
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  program.setProcessEnvironment(env);
  program.setWorkingDirectory(QStringLiteral("/"));
  program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tamsel"), QStringList());
  ASSERT_TRUE(program.waitForStarted(10000));

  QString window;
  for (int i = 0; i < 100 && window.isEmpty(); ++i) {
    window = run_tool(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                       QString::number(program.processId())})
                 .section(QLatin1Char('\n'), 0, 0);
    if (window.isEmpty()) program.waitForFinished(100);
  }
  ASSERT_FALSE(window.isEmpty()) << "the window did not show";
  // It works in its own folder, wherever it was started from.
  QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(program.processId())).symLinkTarget();
  EXPECT_EQ(cwd, QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
  QString states = run_tool(QStringLiteral("xprop"),
                            {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")});
  EXPECT_TRUE(states.contains(QLatin1String("_NET_WM_STATE_SKIP_TASKBAR"))) << states.toStdString();
  EXPECT_TRUE(states.contains(QLatin1String("_NET_WM_STATE_SKIP_PAGER"))) << states.toStdString();
  EXPECT_TRUE(states.contains(QLatin1String("_NET_WM_STATE_ABOVE"))) << states.toStdString();
  QString name = run_tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window});
  EXPECT_EQ(name.toStdString(), "Tamselv1.0");

  // Esc as a real key press and release through the X server's test
  // extension, to the window once it has the focus. "key --window" would send
  // the release as a synthetic event once the program has gone, leaving Esc
  // held down on the server, where it repeats into the next test's windows.
  run_tool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
  run_tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
  ASSERT_TRUE(program.waitForFinished(10000)) << "still running after Esc";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
