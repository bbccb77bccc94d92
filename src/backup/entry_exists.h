#pragma once
#include "backup/text.h"

namespace tamsel {

// True when anything (file, folder, link) is at path, so that a new backup
// must not be written there.
bool entry_exists(const Text& path);

}  // namespace tamsel
