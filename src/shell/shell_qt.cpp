// The folder picker of the Linux port: the toolkit's folder dialog.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QString>

#include "shell/shell.h"
#include "shell/shell_hooks.h"

namespace tamsel {

Text choose_folder(const Text& title) {
  if (const ChooseFolderHook& hook = choose_folder_hook()) return hook(title);
  if (!qApp) return Text();
  QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(),
                                                     QString::fromUtf8(title.data(), static_cast<int>(title.size())));
  if (chosen.isEmpty()) return Text();
  const QByteArray bytes = QFile::encodeName(chosen);
  return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tamsel
