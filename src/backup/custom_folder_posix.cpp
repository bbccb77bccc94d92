#include "backup/custom_folder.h"
#include "shell/user_folders.h"

namespace tamsel {

Text empty_custom_folder() {
  Text home = home_folder();
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home == "/" ? Text() : home;
}

}  // namespace tamsel
