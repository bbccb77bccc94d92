#include <windows.h>

#include "app/program_folder.h"

namespace tamsel {

namespace {
Text module_path() {
  char buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return Text();
  return Text(buffer, n);
}
}  // namespace

Text program_folder() {
  const Text path = module_path();
  return take_middle(path, 1, last_position(path, "\\") - 1);
}

Text executable_name() {
  const Text path = module_path();
  return take_right(path, static_cast<int>(path.size()) - last_position(path, "\\"));
}

}  // namespace tamsel
