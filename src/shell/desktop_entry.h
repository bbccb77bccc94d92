#pragma once
#include "backup/text.h"

namespace tamsel {

// A freedesktop launcher (.desktop file) that starts the program at target.
Text desktop_entry_for(const Text& target);

// The target as one quoted argument of a desktop entry's Exec key, escaped
// both for the Exec quoting rules and for the string value that holds it.
Text exec_quoted(const Text& target);

}  // namespace tamsel
