#pragma once
// A label that draws its own text: on one line, left-aligned, centred
// vertically and cut off at its right edge; or, for the instruction, red and
// wrapped from the top left inside a double three-dimensional frame. It tells
// of a left button press at once.
#include <QtWidgets/QWidget>

#include <functional>

#include "backup/text.h"

namespace tamsel {

class LabelQt final : public QWidget {
 public:
  enum class Look { Line, FramedRed };
  LabelQt(QWidget* parent, const Text& text, Look look);

  const Text& text() const { return text_; }
  void set_text(const Text& text);
  void on_press(std::function<void()> pressed) { pressed_ = std::move(pressed); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Text text_;
  Look look_;
  std::function<void()> pressed_;
};

}  // namespace tamsel
