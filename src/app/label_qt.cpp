#include "app/label_qt.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextLayout>
#include <QtWidgets/qdrawutil.h>

namespace tamsel {

namespace {
// The double frame: a raised dialog frame of three pixels around a sunken
// client edge of two.
constexpr int kOuterFrame = 3;
constexpr int kInnerFrame = 2;

// Draws wrapped text from the top left with lines one em apart, as the
// Windows label does with its 12-pixel font, so that the instruction's four
// lines fit the label as they do there (the font's own leading is wider).
void draw_wrapped(QPainter& painter, const QRect& area, const QString& text) {
  const QFont font = painter.font();
  const qreal step = font.pixelSize() > 0 ? font.pixelSize() : QFontMetricsF(font).height();
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  qreal y = area.top();
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font);
    layout.setTextOption(option);
    layout.beginLayout();
    bool any = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(area.width());
      line.setPosition(QPointF(0, y - area.top()));
      y += step;
      any = true;
    }
    layout.endLayout();
    layout.draw(&painter, QPointF(area.left(), area.top()));
    if (!any) y += step;
  }
}

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
    draw_wrapped(painter, area, shown(text_));
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
