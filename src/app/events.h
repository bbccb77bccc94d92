#pragma once
// Where the handlers of the MainWindow's events attach. The front end raises
// the events; an event without a handler does nothing.
#include <functional>

#include "app/controls.h"
#include "backup/text.h"

namespace tamsel {

struct MainWindowEvents {
  std::function<void()> created;                       // after the drop target is registered
  std::function<void(const Text& drop_list)> dropped;  // one call per drop
  std::function<void(Control radio)> radio_clicked;    // 单选框1 .. 单选框4, every click
  std::function<void()> button1_clicked;               // "设置"
  std::function<void()> button2_clicked;               // "帮助"
  std::function<void()> label1_pressed;                // left button down on 标签1
  std::function<void()> label4_pressed;                // left button down on the StatusLine
};

MainWindowEvents& main_window_events();

}  // namespace tamsel
