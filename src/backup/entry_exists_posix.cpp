#include <sys/stat.h>

#include "backup/entry_exists.h"

namespace tamsel {

bool entry_exists(const Text& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;  // a dangling link is in the way as well
}

}  // namespace tamsel
