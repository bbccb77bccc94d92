#pragma once
#include "backup/text.h"

namespace tamsel {

// The user's desktop folder: XDG_DESKTOP_DIR of user-dirs.dirs in the
// configuration folder, else ~/Desktop; empty when the home folder is unknown.
Text xdg_desktop_folder();

// Reads XDG_DESKTOP_DIR from the text of a user-dirs.dirs file, with $HOME
// replaced by home; empty when the file does not set it.
Text desktop_dir_from_user_dirs(const Text& file_text, const Text& home);

}  // namespace tamsel
