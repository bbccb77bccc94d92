#include "app/label_qt.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/qdrawutil.h>

namespace tamsel {

namespace {
// The double frame: a raised dialog frame of three pixels around a sunken
// client edge of two.
constexpr int kOuterFrame = 3;
constexpr int kInnerFrame = 2;

QString shown(const Text& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return s;
}
}  // namespace

LabelQt::LabelQt(QWidget* parent, const Text& text, Look look)
    : QWidget(parent), text_(text), look_(look) {}

void LabelQt::set_text(const Text& text) {
  text_ = text;
  if (isVisible()) {
    repaint();
  } else {
    update();
  }
}

void LabelQt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect area = rect();
  if (look_ == Look::FramedRed) {
    qDrawWinPanel(&painter, area, palette(), false);
    area.adjust(kOuterFrame, kOuterFrame, -kOuterFrame, -kOuterFrame);
    qDrawWinPanel(&painter, area, palette(), true);
    area.adjust(kInnerFrame, kInnerFrame, -kInnerFrame, -kInnerFrame);
    painter.setClipRect(area);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown(text_));
  } else {
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown(text_));
  }
}

void LabelQt::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && pressed_) {
    pressed_();
    return;
  }
  QWidget::mousePressEvent(event);
}

}  // namespace tamsel
