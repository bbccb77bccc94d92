#include <pwd.h>
#include <unistd.h>

#include "backup/custom_folder.h"

namespace tamsel {

Text empty_custom_folder() {
  const passwd* entry = getpwuid(getuid());
  if (entry && entry->pw_dir && entry->pw_dir[0]) {
    Text home = entry->pw_dir;
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home == "/" ? Text() : home;
  }
  return Text();
}

}  // namespace tamsel
