#pragma once
// The Win32 MainWindow: a fixed, topmost window owned by a hidden top-level
// window, with the controls of the layout table as child windows.
#include <windows.h>

#include "app/controls.h"
#include "app/drop_target_win32.h"

namespace tamsel {

// The hidden top-level window that owns the MainWindow; never shown.
HWND create_owner_window();

// Creates the MainWindow, not yet visible, and its controls in table order;
// installs its control host. nullptr when the window cannot be created.
HWND create_main_window(HWND owner);

// The MainWindow of this process while it exists, else nullptr.
HWND main_window();

// A control of the current MainWindow, else nullptr.
HWND control_window(Control id);

// The drop component 拖放对象1 of the current MainWindow, else nullptr.
DropComponent* main_drop_component();

// Shows the MainWindow at its centred place, above other windows.
void show_main_window();

// Window identifier of a control's child window.
int control_id(Control id);

}  // namespace tamsel
