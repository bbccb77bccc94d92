#pragma once
// The platform's private-profile store behind read_ini_text and write_ini_text.
#include "backup/text.h"

namespace tamsel {

// default_value empty: a missing key reads as the empty text.
Text profile_read(const Text& file, const Text& section, const Text& key, const Text& default_value);
void profile_write(const Text& file, const Text& section, const Text& key, const Text& value);

}  // namespace tamsel
