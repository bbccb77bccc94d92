#pragma once
// The handlers of the five settings controls of the MainWindow: they set the
// controls from set.ini at start-up and store every change at once.
#include "app/controls.h"

namespace tamsel {

// Selects one radio button in each group and fills the custom-folder label.
// Writes nothing: a missing file is not created.
void load_settings();

// The click handler of 单选框1 .. 单选框4: writes that button's value.
void radio_clicked(Control radio);

// "设置": lets the user pick the custom folder, creates its base and stores it.
void choose_custom_folder();

// Press on 标签1: makes the custom base exist and opens it in the file manager.
void open_custom_folder();

// Attaches the handlers above to the MainWindow's events.
void attach_settings_handlers();

}  // namespace tamsel
