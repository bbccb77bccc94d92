#include "app/program_folder.h"
#include "settings/settings_file.h"
#include "shell/user_folders.h"

namespace tamsel {

Text settings_path() {
  Text folder = configuration_folder();
  // Without any home folder the file stays beside the program, as on Windows.
  if (folder.empty()) return program_folder() + "/set.ini";
  return folder + "/Tamsel/set.ini";
}

}  // namespace tamsel
