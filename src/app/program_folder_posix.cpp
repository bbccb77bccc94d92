#include <unistd.h>

#include <climits>

#include "app/program_folder.h"

namespace tamsel {

namespace {
Text executable_path() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return Text();
  return Text(buffer, static_cast<std::size_t>(n));
}
}  // namespace

Text program_folder() {
  Text path = executable_path();
  std::size_t cut = path.rfind('/');
  if (cut == Text::npos) return Text();
  return path.substr(0, cut);
}

Text executable_name() {
  Text path = executable_path();
  std::size_t cut = path.rfind('/');
  return cut == Text::npos ? path : path.substr(cut + 1);
}

}  // namespace tamsel
