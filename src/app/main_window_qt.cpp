#include "app/main_window_qt.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <xcb/xcb.h>

#include <cstdlib>

#include "app/events.h"
#include "app/label_qt.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/program_end_qt.h"

namespace tamsel {

namespace {
MainWindowQt* g_window = nullptr;

std::size_t index_of(Control id) { return static_cast<std::size_t>(id); }

QString qtext(const char* text) { return QString::fromUtf8(text); }

void raise_event(const std::function<void()>& event) {
  if (event) event();
}

// A radio button whose click selects it and clears its partner; selecting it
// from code leaves the partner alone.
class RadioQt final : public QRadioButton {
 public:
  RadioQt(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setAutoExclusive(false);
  }
  void set_partner(QAbstractButton* partner) { partner_ = partner; }

 protected:
  void nextCheckState() override {
    setChecked(true);
    if (partner_) partner_->setChecked(false);
  }

 private:
  QAbstractButton* partner_ = nullptr;
};

class WidgetControls final : public ControlHost {
 public:
  explicit WidgetControls(const MainWindowQt& window) : window_(window) {}

  Text caption(Control label) const override {
    auto* widget = dynamic_cast<LabelQt*>(window_.control(label));
    return widget ? widget->text() : Text();
  }
  void set_caption(Control label, const Text& text) override {
    if (auto* widget = dynamic_cast<LabelQt*>(window_.control(label))) widget->set_text(text);
  }
  bool selected(Control radio) const override {
    auto* widget = dynamic_cast<RadioQt*>(window_.control(radio));
    return widget && widget->isChecked();
  }
  void set_selected(Control radio, bool on) override {
    if (auto* widget = dynamic_cast<RadioQt*>(window_.control(radio))) widget->setChecked(on);
  }

 private:
  const MainWindowQt& window_;
};

// Keeps the window off taskbars and pagers: the state goes on the X window
// before it is mapped (Qt keeps what is there when it adds its own states).
void skip_taskbar(QWidget* window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* connection = x11->connection();
  auto atom = [connection](const char* name) {
    xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t value = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return value;
  };
  xcb_atom_t state = atom("_NET_WM_STATE");
  xcb_atom_t states[] = {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};
  auto id = static_cast<xcb_window_t>(window->winId());
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 2, states);
  xcb_flush(connection);
}
}  // namespace

QFont main_window_font() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
  font.setPixelSize(12);
  return font;
}

MainWindowQt::MainWindowQt()
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      drop_([](const Text& drop_list) {
        if (auto& dropped = main_window_events().dropped) dropped(drop_list);
      }) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(qtext(kMainWindowCaption));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(main_window_font());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);

  for (const ControlEntry& entry : main_window_controls()) {
    controls_[index_of(entry.id)] = create_control(entry.id);
  }
  for (Control radio : {Control::单选框1, Control::单选框2, Control::单选框3, Control::单选框4}) {
    static_cast<RadioQt*>(control(radio))
        ->set_partner(static_cast<RadioQt*>(control(radio_partner(radio))));
  }
  host_ = new WidgetControls(*this);
  set_control_host(host_);
}

MainWindowQt::~MainWindowQt() {
  if (control_host() == host_) set_control_host(nullptr);
  delete host_;
  if (g_window == this) g_window = nullptr;
}

QWidget* MainWindowQt::create_control(Control id) {
  const ControlEntry& entry = control_entry(id);
  QWidget* parent = entry.parent ? control(*entry.parent) : this;
  QWidget* widget = nullptr;
  MainWindowEvents& events = main_window_events();
  switch (entry.kind) {
    case ControlKind::Label: {
      bool instruction = id == Control::标签3;
      auto* label = new LabelQt(parent, entry.text,
                                instruction ? LabelQt::Look::FramedRed : LabelQt::Look::Line);
      if (id == Control::标签1) label->on_press([&events] { raise_event(events.label1_pressed); });
      if (id == Control::标签4) label->on_press([&events] { raise_event(events.label4_pressed); });
      widget = label;
      break;
    }
    case ControlKind::GroupBox: {
      auto* box = new QGroupBox(qtext(entry.text), parent);
      // As on Windows: the frame's top line runs through the middle of the title.
      box->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
          "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0 1px; }"));
      widget = box;
      break;
    }
    case ControlKind::RadioButton: {
      auto* radio = new RadioQt(qtext(entry.text), parent);
      QObject::connect(radio, &QAbstractButton::clicked, radio, [&events, id] {
        if (events.radio_clicked) events.radio_clicked(id);
      });
      widget = radio;
      break;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(qtext(entry.text), parent);
      button->setAutoDefault(false);
      bool help = id == Control::按钮2;
      QObject::connect(button, &QAbstractButton::clicked, button, [&events, help] {
        raise_event(help ? events.button2_clicked : events.button1_clicked);
      });
      widget = button;
      break;
    }
  }
  widget->setGeometry(entry.x, entry.y, entry.width, entry.height);
  return widget;
}

void MainWindowQt::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainWindowQt::closeEvent(QCloseEvent* event) {
  event->accept();
  program_window_closed(this);
}

void MainWindowQt::dragEnterEvent(QDragEnterEvent* event) {
  if (takes_drops()) drop_.drag_enter(event);
}

void MainWindowQt::dragMoveEvent(QDragMoveEvent* event) {
  if (takes_drops()) drop_.drag_move(event);
}

void MainWindowQt::dragLeaveEvent(QDragLeaveEvent*) {
  if (takes_drops()) drop_.drag_leave();
}

void MainWindowQt::dropEvent(QDropEvent* event) {
  if (takes_drops()) drop_.drop(event);
}

MainWindowQt* create_main_window() {
  if (g_window) return nullptr;
  g_window = new MainWindowQt();
  return g_window;
}

MainWindowQt* main_window() { return g_window; }

void main_window_created() {
  if (!g_window) return;
  register_drop_target(g_window->drop_component(), g_window);
  raise_event(main_window_events().created);
}

void show_main_window() {
  if (!g_window) return;
  QRect screen = QGuiApplication::primaryScreen()->geometry();
  Point origin = centred_origin(screen.width(), screen.height());
  g_window->move(screen.x() + origin.x, screen.y() + origin.y);
  skip_taskbar(g_window);
  g_window->show();
  g_window->raise();
  g_window->activateWindow();
}

}  // namespace tamsel
