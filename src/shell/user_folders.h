#pragma once
// The user's own folders on Linux, as the desktop conventions find them.
#include "backup/text.h"

namespace tamsel {

// $HOME when it is an absolute path, else the home folder of the user's
// account; empty when neither is known.
Text home_folder();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; empty when
// there is no home folder.
Text configuration_folder();

}  // namespace tamsel
