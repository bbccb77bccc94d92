// The archive progress window of the Qt front end: an application-modal tool
// window without a close button. Events are processed at every step, so the
// windows repaint; the modality keeps the user's input from the other windows.
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include "backup/progress_window.h"

namespace tamsel {

namespace {

class ProgressWidget : public QWidget {
 public:
  explicit ProgressWidget(QWidget* owner)
      : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {}

 protected:
  // The archive cannot be stopped halfway; the window closes when it is done.
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

struct ProgressWindow::Impl {
  std::unique_ptr<ProgressWidget> window;
  QProgressBar* bar = nullptr;
};

ProgressWindow::ProgressWindow(const Text& item_name) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  impl_ = std::make_unique<Impl>();
  impl_->window = std::make_unique<ProgressWidget>(QApplication::activeWindow());
  QWidget* window = impl_->window.get();
  window->setWindowTitle(QString::fromUtf8("备份"));
  window->setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(window);
  auto* name = new QLabel(QString::fromUtf8(item_name.data(), static_cast<qsizetype>(item_name.size())), window);
  name->setTextFormat(Qt::PlainText);
  name->setObjectName("item");
  layout->addWidget(name);
  impl_->bar = new QProgressBar(window);
  impl_->bar->setRange(0, 100);
  impl_->bar->setValue(0);
  layout->addWidget(impl_->bar);
  window->setFixedWidth(320);
  window->show();
  QCoreApplication::processEvents();
}

ProgressWindow::~ProgressWindow() {
  if (!impl_) return;
  impl_->window->hide();
  impl_->window.reset();
  QCoreApplication::processEvents();
}

void ProgressWindow::show_percent(int percent) {
  if (!impl_) return;
  impl_->bar->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
  QCoreApplication::processEvents();
}

}  // namespace tamsel
