#pragma once
// The shell services the rest of the program calls: folder test and creation,
// opening, copying, the folder picker, the desktop folder and shortcuts.
#include <functional>

#include "backup/text.h"

namespace tamsel {

bool is_folder(const Text& path);
bool create_folder(const Text& path);
void shell_open(const Text& target);
bool shell_copy(const Text& target, const Text& source);
Text choose_folder(const Text& title);
Text desktop_path();
bool create_shortcut(const Text& link, const Text& target);

// Seam for the two operations whose effects reach outside the program (a file
// manager or browser opening, a modal picker). While a hook is installed the
// operation calls it instead of the desktop. The program never installs one.
using OpenHook = std::function<void(const Text& target)>;
using ChooseFolderHook = std::function<Text(const Text& title)>;
void set_open_hook(OpenHook hook);
void set_choose_folder_hook(ChooseFolderHook hook);

}  // namespace tamsel
