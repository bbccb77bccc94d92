#include "support/fs.h"

namespace tamsel::test {

namespace {
// Whether the last character (not the second byte of one) is a separator.
bool ends_in_separator(const Text& text) {
  bool last = false;
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) last = text[i] == kSeparator;
  return last;
}
}  // namespace

Text join(const Text& folder, const Text& name) {
  if (folder.empty()) return name;
  if (ends_in_separator(folder)) return folder + name;
  return folder + kSeparator + name;
}

Text TempFolder::operator/(const Text& name) const { return join(path_, name); }

}  // namespace tamsel::test
