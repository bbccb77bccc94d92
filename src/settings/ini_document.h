#pragma once
// INI text held in memory: looking a value up and changing one value while
// every other byte of the text stays as it was. Section and key names match
// without regard to ASCII case and to the spaces around them; the first
// occurrence of a key wins, also across repeated sections of one name.
#include <string>

#include "backup/text.h"

namespace tamsel {

// Values longer than this come back cut, as the Windows profile reader does
// with its buffer of 10,240 bytes.
inline constexpr std::size_t kMaxIniValue = 10239;

// True when the key exists in the section; value receives its text with the
// surrounding spaces removed and one pair of enclosing quotes taken off.
bool ini_lookup(const std::string& content, const Text& section, const Text& key, Text& value);

// Sets the key in content: an existing line is rewritten in place, a missing
// key is added at the end of its section and a missing section at the end of
// the text. False, with content untouched, when the names or the value cannot
// be stored in an INI line (a line break, an empty name, "=" in a key, "]" in
// a section name).
bool ini_store(std::string& content, const Text& section, const Text& key, const Text& value);

}  // namespace tamsel
