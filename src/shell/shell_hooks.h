#pragma once
// The installed hooks, read by the platform implementations of shell_open
// and choose_folder.
#include "shell/shell.h"

namespace tamsel {

const OpenHook& open_hook();
const ChooseFolderHook& choose_folder_hook();

}  // namespace tamsel
