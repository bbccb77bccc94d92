#include <unistd.h>

#include <QtGui/QIcon>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

#include "app/layout.h"
#include "app/main_window.h"
#include "app/main_window_qt.h"
#include "app/program_end_qt.h"
#include "app/program_folder.h"

namespace tamsel {

int program_start() {
  // The program takes no arguments; Qt gets the program's name only.
  static char name[] = "tamsel";
  static char* arguments[] = {name, nullptr};
  static int count = 1;
  QApplication application(count, arguments);
  QApplication::setQuitOnLastWindowClosed(false);
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/tamsel-48.png"));
  icon.addFile(QStringLiteral(":/icons/tamsel-256.png"));
  QApplication::setWindowIcon(icon);

  Text folder = program_folder();
  if (!folder.empty() && chdir(folder.c_str()) != 0) {
    // A folder that cannot be entered leaves the working directory as it was.
  }
  if (!create_main_window()) {
    QMessageBox::critical(nullptr, QString::fromUtf8(kMainWindowCaption),
                          QString::fromUtf8("无法创建程序窗口。"));
    return 1;
  }
  main_window_created();
  show_main_window();

  program_loop_begun(true);
  QApplication::exec();
  program_loop_begun(false);
  return 0;
}

}  // namespace tamsel
