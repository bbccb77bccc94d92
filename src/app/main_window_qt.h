#pragma once
// The Qt MainWindow: a fixed tool window that stays on top and keeps off the
// taskbar, with the controls of the layout table as child widgets.
#include <QtWidgets/QWidget>

#include <array>

#include "app/controls.h"
#include "app/drop_target_qt.h"

namespace tamsel {

class MainWindowQt final : public QWidget {
 public:
  MainWindowQt();
  ~MainWindowQt() override;

  QWidget* control(Control id) const { return controls_[static_cast<std::size_t>(id)]; }
  DropComponent& drop_component() { return drop_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* create_control(Control id);
  bool takes_drops() const { return drop_.window() == this; }

  std::array<QWidget*, 12> controls_{};
  DropComponent drop_;
  ControlHost* host_ = nullptr;
};

// Creates the MainWindow, not yet visible, with its controls in table order,
// and installs its control host. nullptr when one exists already.
MainWindowQt* create_main_window();

// The MainWindow while it exists, else nullptr.
MainWindowQt* main_window();

// Shows the MainWindow centred on the primary screen, above other windows.
void show_main_window();

// The MainWindow's font: a CJK-capable sans serif, 12 pixels like the
// Windows default GUI font.
QFont main_window_font();

}  // namespace tamsel
