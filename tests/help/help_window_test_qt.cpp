// The Qt help window, opened for real and inspected from inside its own
// modal loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <vector>

#include "backup/clock.h"
#include "help/help_actions.h"
#include "help/help_window.h"
#include "shell/shell.h"

namespace tamsel {
namespace {

QWidget* find_help() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == QString::fromUtf8(kHelpCaption)) return w;
  }
  return nullptr;
}

QPlainTextEdit* edit_of(QWidget* help) { return help->findChild<QPlainTextEdit*>(); }
QPushButton* button_of(QWidget* help, const char* name) {
  return help->findChild<QPushButton*>(QString::fromUtf8(name));
}

// Opens the help window, runs check on it while it is open, then presses Esc
// in its edit box, which must close it.
void open_and_check(const std::function<void(QWidget*)>& check) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    QWidget* help = find_help();
    ran = true;
    ASSERT_NE(help, nullptr);
    check(help);
    QTest::keyClick(edit_of(help), Qt::Key_Escape);
  });
  QTimer stuck;
  stuck.setSingleShot(true);
  QObject::connect(&stuck, &QTimer::timeout, [] {
    ADD_FAILURE() << "the help window did not close on Esc";
    if (QWidget* help = find_help()) help->close();
  });
  stuck.start(10000);
  open_help_window();
  stuck.stop();
  EXPECT_TRUE(ran);
  EXPECT_EQ(find_help(), nullptr) << "the window outlives its opening";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpWindow, FrameCaptionAndPlace) {
  open_and_check([](QWidget* help) {
    EXPECT_EQ(help->windowTitle().toUtf8().toStdString(), "Tamsel-\xE5\xB8\xAE\xE5\x8A\xA9\xEF\xBC\x9A");
    const Qt::WindowFlags flags = help->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(help->minimumSize(), help->maximumSize());
    EXPECT_EQ(help->size(), QSize(288, 217));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(help->pos(), QPoint(screen.x() + (screen.width() - 294) / 2,
                                  screen.y() + (screen.height() - 242) / 2));
  });
}

TEST(HelpWindow, ControlsTextAndColours) {
  open_and_check([](QWidget* help) {
    QPlainTextEdit* edit = edit_of(help);
    QPushButton* shortcut = button_of(help, "按钮1");
    QPushButton* homepage = button_of(help, "按钮2");
    ASSERT_TRUE(edit && shortcut && homepage);
    EXPECT_EQ(edit->geometry(), QRect(-1, 0, 288, 176));
    EXPECT_EQ(shortcut->geometry(), QRect(16, 181, 104, 24));
    EXPECT_EQ(homepage->geometry(), QRect(152, 181, 104, 24));
    EXPECT_EQ(shortcut->text(), QString::fromUtf8("创建桌面快捷方式"));
    EXPECT_EQ(homepage->text(), QString::fromUtf8("去我的主页看看"));

    EXPECT_EQ(edit->toPlainText().toUtf8().toStdString(), help_text());
    EXPECT_FALSE(edit->isReadOnly());
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->palette().color(QPalette::Base), help->palette().color(QPalette::Button));
    EXPECT_NE(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(help->focusWidget(), edit);

    // Enter in the edit box is a line break, not a button press.
    edit->moveCursor(QTextCursor::End);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->toPlainText().toUtf8().toStdString(), help_text() + "\n");
    EXPECT_TRUE(help->isVisible());
  });
}

TEST(HelpWindow, ModalOverTheOtherWindows) {
  QWidget other;
  QPushButton button("other", &other);
  button.setGeometry(10, 10, 80, 30);
  other.resize(200, 100);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
  auto click_other = [&] {
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25));
  };

  open_and_check([&](QWidget* help) {
    EXPECT_EQ(QApplication::activeModalWidget(), help);
    EXPECT_EQ(help->windowModality(), Qt::ApplicationModal);
    click_other();
    EXPECT_EQ(clicks, 0) << "the other window took a click while the help window was open";
  });
  click_other();
  EXPECT_EQ(clicks, 1) << "the other window stays blocked after the help window closed";
}

TEST(HelpWindow, EachOpeningShowsTheHelpTextAfresh) {
  open_and_check([](QWidget* help) {
    edit_of(help)->setPlainText("typed by the user");
  });
  open_and_check([](QWidget* help) {
    EXPECT_EQ(edit_of(help)->toPlainText().toUtf8().toStdString(), help_text());
  });
}

TEST(HelpWindow, DraggingTheBackgroundMovesTheWindow) {
  open_and_check([](QWidget* help) {
    const QPoint start = help->pos();
    const QPoint local(136, 195);  // between and below the buttons
    ASSERT_EQ(help->childAt(local), nullptr);
    auto send = [help, local](QEvent::Type type, QPoint at, Qt::MouseButton button,
                       Qt::MouseButtons held) {
      QMouseEvent event(type, QPointF(at), QPointF(help->mapToGlobal(local) + (at - local)),
                        button, held, Qt::NoModifier);
      QApplication::sendEvent(help, &event);
    };
    send(QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, local + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, local + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(help->pos(), start + QPoint(30, 20));
  });
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
  open_and_check([](QWidget* help) { button_of(help, "按钮2")->click(); });
  set_clock_source(previous);
  set_open_hook(nullptr);
  EXPECT_EQ(opened, std::vector<Text>{kFirstHomepage});
}

}  // namespace
}  // namespace tamsel
