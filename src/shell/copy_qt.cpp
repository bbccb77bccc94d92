// The progress dialog of a copy on Linux. The copy runs on the UI thread, so
// the dialog lets the event loop run between blocks of data: windows keep
// repainting, and once the dialog is up its Cancel button works. Meanwhile
// the program's other windows take no input at all (no clicks, keys, drops
// or closing), from the start of the copy to its end, whether the dialog has
// appeared yet or not: nothing can start a second backup inside this one.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "shell/copy_progress.h"

namespace tamsel {

namespace {

constexpr qint64 kShowAfterMs = 500;
constexpr qint64 kEventsEveryMs = 25;
constexpr int kLabelWidth = 420;
constexpr int kBarSteps = 1000;

QString size_text(std::uint64_t bytes) {
  return QLocale::system().formattedDataSize(static_cast<qint64>(bytes), 1,
                                             QLocale::DataSizeTraditionalFormat);
}

QString amount_text(std::uint64_t items, std::uint64_t bytes) {
  return QStringLiteral("%1 项（%2）").arg(items).arg(size_text(bytes));
}

// A file name may hold any byte; shown on one line, undecodable bytes as
// replacement characters, control characters as well.
QString shown_path(const Text& path) {
  QString text = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
  for (QChar& c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar::ReplacementCharacter;
  }
  return text;
}

bool is_input(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// Swallows input meant for any widget outside one window, while it lives.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(QWidget* allowed) : allowed_(allowed) { qApp->installEventFilter(this); }
  ~InputBlocker() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!is_input(event->type()) || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget == allowed_ || allowed_->isAncestorOf(widget)) return false;
    event->ignore();  // a refused drop, a window that stays open
    return true;
  }

 private:
  QWidget* allowed_;
};

class CopyDialog final : public CopyProgress {
 public:
  CopyDialog() : former_active_(QApplication::activeWindow()) {
    dialog_ = std::make_unique<QDialog>(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    dialog_->setObjectName(QStringLiteral("copy_progress"));
    dialog_->setWindowTitle(QStringLiteral("正在复制..."));
    dialog_->setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(dialog_.get());
    name_ = make_label(layout);
    done_ = make_label(layout);
    remaining_ = make_label(layout);
    bar_ = new QProgressBar(dialog_.get());
    bar_->setRange(0, 0);
    layout->addWidget(bar_);
    auto* cancel = new QPushButton(QStringLiteral("取消"), dialog_.get());
    layout->addWidget(cancel, 0, Qt::AlignRight);
    QObject::connect(cancel, &QPushButton::clicked, dialog_.get(), &QDialog::reject);
    // The button, Esc and the close box all end in reject.
    QObject::connect(dialog_.get(), &QDialog::rejected, [this] { cancelled_ = true; });
    blocker_ = std::make_unique<InputBlocker>(dialog_.get());
    clock_.start();
  }

  ~CopyDialog() override {
    blocker_.reset();
    dialog_.reset();
    if (shown_ && former_active_) former_active_->activateWindow();
  }

  CopyDialog(const CopyDialog&) = delete;
  CopyDialog& operator=(const CopyDialog&) = delete;

  bool update(const CopyState& state) override {
    if (cancelled_) return false;
    const qint64 now = clock_.elapsed();
    if (now - last_events_ < kEventsEveryMs) return true;
    last_events_ = now;
    if (!shown_ && now >= kShowAfterMs) {
      show_state(state);
      dialog_->show();
      shown_ = true;
    } else if (shown_) {
      show_state(state);
    }
    QCoreApplication::processEvents();
    return !cancelled_;
  }

 private:
  QLabel* make_label(QVBoxLayout* layout) {
    auto* label = new QLabel(dialog_.get());
    label->setTextFormat(Qt::PlainText);
    label->setFixedWidth(kLabelWidth);
    layout->addWidget(label);
    return label;
  }

  void show_state(const CopyState& state) {
    const QString path = shown_path(state.current);
    if (state.listing) {
      name_->setText(elided(QStringLiteral("正在统计：") + path));
      done_->setText(QStringLiteral("已找到：") + amount_text(state.total.items, state.total.bytes));
      remaining_->clear();
      bar_->setRange(0, 0);
      return;
    }
    name_->setText(elided(QStringLiteral("正在复制：") + path));
    const std::uint64_t items = std::min(state.done.items, state.total.items);
    const std::uint64_t bytes = std::min(state.done.bytes, state.total.bytes);
    done_->setText(QStringLiteral("已完成：") + amount_text(items, bytes));
    remaining_->setText(QStringLiteral("剩余：") +
                        amount_text(state.total.items - items, state.total.bytes - bytes));
    // Bytes measure the work when there are any; otherwise the entries do.
    const double part = state.total.bytes > 0
                            ? static_cast<double>(bytes) / static_cast<double>(state.total.bytes)
                            : static_cast<double>(items) / static_cast<double>(std::max<std::uint64_t>(state.total.items, 1));
    bar_->setRange(0, kBarSteps);
    bar_->setValue(static_cast<int>(part * kBarSteps));
  }

  QString elided(const QString& text) const {
    return QFontMetrics(name_->font()).elidedText(text, Qt::ElideMiddle, kLabelWidth);
  }

  std::unique_ptr<QDialog> dialog_;
  std::unique_ptr<InputBlocker> blocker_;
  QLabel* name_ = nullptr;
  QLabel* done_ = nullptr;
  QLabel* remaining_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPointer<QWidget> former_active_;
  QElapsedTimer clock_;
  qint64 last_events_ = 0;
  bool shown_ = false;
  bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<CopyProgress> make_copy_progress() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app == nullptr || QThread::currentThread() != app->thread()) return nullptr;
  return std::make_unique<CopyDialog>();
}

}  // namespace tamsel
