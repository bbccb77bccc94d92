// The Qt help window on a real X server: the states that keep it above other
// windows and off taskbars and pagers are on it while it is shown.
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <set>
#include <string>

#include "help/help_window.h"

namespace tamsel {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name),
                            nullptr);
  xcb_atom_t a = XCB_ATOM_NONE;
  if (reply) a = reply->atom;
  free(reply);
  return a;
}

std::set<xcb_atom_t> net_wm_states(xcb_connection_t* c, xcb_window_t window) {
  std::set<xcb_atom_t> states;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr);
  if (!reply) return states;
  const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
  const int count = xcb_get_property_value_length(reply) / 4;
  states.insert(values, values + count);
  free(reply);
  return states;
}

TEST(HelpWindowOnX11, StaysAboveAndOffTaskbarsAndPagers) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "no X display";
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  ASSERT_NE(x11, nullptr);
  xcb_connection_t* c = x11->connection();
  bool checked = false;
  QTimer::singleShot(300, [&] {
    QWidget* help = QApplication::activeModalWidget();
    ASSERT_NE(help, nullptr);
    const std::set<xcb_atom_t> states =
        net_wm_states(c, static_cast<xcb_window_t>(help->winId()));
    for (const char* name :
         {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"}) {
      EXPECT_TRUE(states.count(atom(c, name))) << name;
    }
    checked = true;
    help->close();
  });
  open_help_window();
  EXPECT_TRUE(checked);
}

// Drives the real pointer through the X server's test extension.
bool xdotool(const QStringList& arguments) {
  QProcess process;
  process.start("xdotool", arguments);
  while (process.state() != QProcess::NotRunning) QTest::qWait(10);
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

TEST(HelpWindowOnX11, DraggingTheBackgroundMovesTheWindow) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "no X display";
  QPoint before, after;
  QTimer::singleShot(300, [&] {
    QWidget* help = QApplication::activeModalWidget();
    ASSERT_NE(help, nullptr);
    before = help->frameGeometry().topLeft();
    const QPoint from = help->mapToGlobal(QPoint(136, 195));
    const QPoint to = from + QPoint(60, 40);
    auto num = [](int v) { return QString::number(v); };
    ASSERT_TRUE(xdotool({"mousemove", num(from.x()), num(from.y())}));
    ASSERT_TRUE(xdotool({"mousedown", "1"}));
    QTest::qWait(100);
    ASSERT_TRUE(xdotool({"mousemove", num(from.x() + 20), num(from.y() + 10)}));
    QTest::qWait(100);
    ASSERT_TRUE(xdotool({"mousemove", num(to.x()), num(to.y())}));
    QTest::qWait(100);
    ASSERT_TRUE(xdotool({"mouseup", "1"}));
    QTest::qWait(300);
    after = help->frameGeometry().topLeft();
    help->close();
  });
  open_help_window();
  EXPECT_EQ(after, before + QPoint(60, 40));
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
  // This test wants the real X server that the test run provides.
  if (std::getenv("DISPLAY")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
