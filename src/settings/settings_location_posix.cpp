#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "app/program_folder.h"
#include "settings/settings_file.h"

namespace tamsel {

namespace {

Text absolute_or_empty(const char* path) { return path && path[0] == '/' ? Text(path) : Text(); }

Text home_folder() {
  Text home = absolute_or_empty(std::getenv("HOME"));
  if (!home.empty()) return home;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return absolute_or_empty(found->pw_dir);
  }
  return Text();
}

// The user's configuration folder of the desktop conventions.
Text configuration_folder() {
  Text configured = absolute_or_empty(std::getenv("XDG_CONFIG_HOME"));
  if (!configured.empty()) return configured;
  Text home = home_folder();
  return home.empty() ? Text() : home + "/.config";
}

}  // namespace

Text settings_path() {
  Text folder = configuration_folder();
  // Without any home folder the file stays beside the program, as on Windows.
  if (folder.empty()) return program_folder() + "/set.ini";
  return folder + "/Tamsel/set.ini";
}

}  // namespace tamsel
