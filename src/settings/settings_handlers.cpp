#include "settings/settings_handlers.h"

#include <utility>

#include "app/events.h"
#include "backup/names.h"
#include "settings/settings_file.h"
#include "shell/shell.h"

namespace tamsel {

void load_settings() {
  set_selected(read_ini_text(settings_path(), "zip", "zips", "no") == "no" ? Control::单选框1 : Control::单选框2,
               true);
  set_selected(read_ini_text(settings_path(), "dir", "Choice", "yes") == "yes" ? Control::单选框3 : Control::单选框4,
               true);
  set_caption(Control::标签1, read_ini_text(settings_path(), "dir", "Route", Text()));
}

void radio_clicked(Control radio) {
  switch (radio) {
    case Control::单选框1: write_ini_text(settings_path(), "zip", "zips", "no"); break;
    case Control::单选框2: write_ini_text(settings_path(), "zip", "zips", "yes"); break;
    case Control::单选框3: write_ini_text(settings_path(), "dir", "Choice", "yes"); break;
    case Control::单选框4: write_ini_text(settings_path(), "dir", "Choice", "no"); break;
    default: break;
  }
}

void choose_custom_folder() {
  Text chosen = choose_folder("自定义备份目录：");
  if (chosen.empty()) return;
  set_caption(Control::标签1, chosen);
  ensure_folder(custom_base(caption(Control::标签1)));
  write_ini_text(settings_path(), "dir", "Route", caption(Control::标签1));
}

void open_custom_folder() {
  Text base = custom_base(caption(Control::标签1));
  ensure_folder(base);
  shell_open(base);
}

void attach_settings_handlers() {
  MainWindowEvents& events = main_window_events();
  // The created event may already carry the front end's own start-up work;
  // the settings are loaded after it.
  std::function<void()> before = std::move(events.created);
  events.created = [before = std::move(before)] {
    if (before) before();
    load_settings();
  };
  events.radio_clicked = radio_clicked;
  events.button1_clicked = choose_custom_folder;
  events.label1_pressed = open_custom_folder;
}

}  // namespace tamsel
