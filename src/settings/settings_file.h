#pragma once
// The SettingsFile: where it lives and how one value is read and written.
#include "backup/text.h"

namespace tamsel {

// The full path of set.ini, formed anew on every call.
Text settings_path();

// The value of key in section of the INI file, or default_value when the file,
// section or key is missing (an existing empty value gives the empty text).
// Leading spaces and control bytes of the three names are skipped; when one of
// them is then empty the result is the empty text.
Text read_ini_text(const Text& file, const Text& section, const Text& key, const Text& default_value);

// Stores the value, creating the file, section and key as needed. A value
// holding a line break is not written. Failures are silent.
void write_ini_text(const Text& file, const Text& section, const Text& key, const Text& value);

}  // namespace tamsel
