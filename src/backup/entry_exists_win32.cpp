#include <windows.h>

#include "backup/entry_exists.h"

namespace tamsel {

bool entry_exists(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace tamsel
