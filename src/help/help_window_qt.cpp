// The help window in Qt: an always-on-top tool window, application modal,
// kept off taskbars and pagers.
#include <xcb/xcb.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QWindow>

#include "help/help_actions.h"
#include "help/help_window.h"

namespace tamsel {

namespace {

// The window manager adds the frame; the client area is the one the Win32
// window has inside the same outer size (3-pixel border, 19-pixel title bar).
constexpr int kClientWidth = kHelpWidth - 6;
constexpr int kClientHeight = kHelpHeight - 25;

// On X11, marks a created but unmapped window so that taskbars and pagers
// leave it out. Qt keeps states already on the window when it maps it.
void skip_taskbar_and_pager(QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* connection = x11->connection();
  auto intern = [connection](const char* name) -> xcb_atom_t {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
  };
  const xcb_atom_t state = intern("_NET_WM_STATE");
  const xcb_atom_t values[] = {intern("_NET_WM_STATE_SKIP_TASKBAR"),
                               intern("_NET_WM_STATE_SKIP_PAGER")};
  if (state == XCB_ATOM_NONE || values[0] == XCB_ATOM_NONE || values[1] == XCB_ATOM_NONE) return;
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window.winId()),
                      state, XCB_ATOM_ATOM, 32, 2, values);
  xcb_flush(connection);
}

class HelpDialog : public QDialog {
 public:
  HelpDialog()
      : QDialog(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                             Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QString::fromUtf8(kHelpCaption));
    setFixedSize(kClientWidth, kClientHeight);

    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(QString::fromUtf8("编辑框1"));
    edit->setGeometry(-1, 0, 288, 176);
    edit->setPlainText(QString::fromUtf8(help_text()));
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    edit->setLineWidth(2);
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Button));
    colours.setColor(QPalette::Text, Qt::black);
    edit->setPalette(colours);

    auto* shortcut = new QPushButton(QString::fromUtf8("创建桌面快捷方式"), this);
    shortcut->setObjectName(QString::fromUtf8("按钮1"));
    shortcut->setGeometry(16, 181, 104, 24);
    shortcut->setAutoDefault(false);
    connect(shortcut, &QPushButton::clicked, this, [] { create_desktop_shortcut(); });

    auto* homepage = new QPushButton(QString::fromUtf8("去我的主页看看"), this);
    homepage->setObjectName(QString::fromUtf8("按钮2"));
    homepage->setGeometry(152, 181, 104, 24);
    homepage->setAutoDefault(false);
    connect(homepage, &QPushButton::clicked, this, [] { open_homepage(); });

    edit->setFocus();
  }

 protected:
  // Only presses on the background reach the dialog itself: the controls
  // take their own. Dragging from there moves the window, through the window
  // manager where there is one.
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    drag_offset_ = event->globalPosition().toPoint() - pos();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
      move(event->globalPosition().toPoint() - drag_offset_);
    }
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QDialog::mouseReleaseEvent(event);
  }

 private:
  bool dragging_ = false;
  QPoint drag_offset_;
};

}  // namespace

void open_help_window() {
  HelpDialog dialog;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    dialog.move(area.x() + (area.width() - kHelpWidth) / 2,
                area.y() + (area.height() - kHelpHeight) / 2);
  }
  dialog.winId();
  skip_taskbar_and_pager(dialog);
  dialog.exec();
}

}  // namespace tamsel
