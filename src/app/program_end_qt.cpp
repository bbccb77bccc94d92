#include "app/program_end_qt.h"

#include <QtWidgets/QApplication>

namespace tamsel {

namespace {
bool g_loop_running = false;
}

void program_loop_begun(bool running) { g_loop_running = running; }

void program_window_closed(QWidget* window) {
  if (!g_loop_running) return;
  for (QWidget* other : QApplication::topLevelWidgets()) {
    if (other != window && other->isVisible()) return;
  }
  QCoreApplication::quit();
}

}  // namespace tamsel
