// A drag source for end-to-end tests: a small window that, when the left
// button goes down on it, drags the file URLs of its arguments the way a
// file manager does. Usage: tamsel-drag-source X Y PATH...
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
    setWindowTitle("tamsel-drag-source");
    setFixedSize(120, 80);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    auto* data = new QMimeData;
    data->setUrls(urls_);
    // The drag (and its data) must outlive exec(): the target asks for the
    // data only after the drop, when exec() has already returned.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("drop action %d\n", static_cast<int>(action));
    std::fflush(stdout);
    // The target fetches the data after the drop: stay a while to serve it.
    QTimer::singleShot(5000, qApp, &QApplication::quit);
  }

 private:
  QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: tamsel-drag-source X Y PATH...\n");
    return 2;
  }
  QList<QUrl> urls;
  for (int i = 3; i < argc; ++i) urls.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
  DragSource source(urls);
  source.move(std::atoi(argv[1]), std::atoi(argv[2]));
  source.show();
  return app.exec();
}
