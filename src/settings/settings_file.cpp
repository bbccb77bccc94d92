#include "settings/settings_file.h"

#include "settings/profile.h"

namespace tamsel {

namespace {
Text skip_leading_controls(const Text& text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i;
  return text.substr(i);
}
}  // namespace

Text read_ini_text(const Text& file, const Text& section, const Text& key, const Text& default_value) {
  Text f = skip_leading_controls(file);
  Text s = skip_leading_controls(section);
  Text k = skip_leading_controls(key);
  if (f.empty() || s.empty() || k.empty()) return Text();
  return profile_read(f, s, k, default_value);
}

void write_ini_text(const Text& file, const Text& section, const Text& key, const Text& value) {
  // A line break would end the line early and turn the rest into lines of its own.
  if (value.find_first_of("\r\n") != Text::npos) return;
  profile_write(file, section, key, value);
}

}  // namespace tamsel
