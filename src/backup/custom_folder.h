#pragma once
#include "backup/text.h"

namespace tamsel {

// What an empty custom folder stands for when the custom base is formed:
// nothing on Windows (the base then resolves at the root of the current
// drive); the user's home folder on Linux, where the file-system root is not
// the user's to write.
Text empty_custom_folder();

}  // namespace tamsel
