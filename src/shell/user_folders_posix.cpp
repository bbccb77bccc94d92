#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "shell/user_folders.h"

namespace tamsel {

namespace {
Text absolute_or_empty(const char* path) { return path && path[0] == '/' ? Text(path) : Text(); }
}  // namespace

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

Text configuration_folder() {
  Text configured = absolute_or_empty(std::getenv("XDG_CONFIG_HOME"));
  if (!configured.empty()) return configured;
  Text home = home_folder();
  return home.empty() ? Text() : home + "/.config";
}

}  // namespace tamsel
