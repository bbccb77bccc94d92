#pragma once
// A small window that shows how far the archive of one item has come: the
// title "备份", the item's name and a bar of the percentage. It closes when it
// is destroyed. While it is shown the program's other windows take no input,
// as during the shell's copy. Without a user interface it does nothing.
#include <memory>

#include "backup/text.h"

namespace tamsel {

class ProgressWindow {
 public:
  explicit ProgressWindow(const Text& item_name);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Moves the bar and lets the windows repaint.
  void show_percent(int percent);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tamsel
