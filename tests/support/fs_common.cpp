#include "support/fs.h"

namespace tamsel::test {

Text join(const Text& folder, const Text& name) {
  if (folder.empty()) return name;
  if (ends_in_separator(folder)) return folder + name;
  return folder + kSeparator + name;
}

Text TempFolder::operator/(const Text& name) const { return join(path_, name); }

}  // namespace tamsel::test
