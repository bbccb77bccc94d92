#pragma once
#include "backup/text.h"

namespace tamsel {

// The folder of the running executable, without a trailing separator
// (a drive alone, such as X:, for a program in a drive root).
Text program_folder();

// The last element of the running executable's full path.
Text executable_name();

}  // namespace tamsel
