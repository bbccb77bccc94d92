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

// Index of the last backslash, stepping over double-byte characters.
std::size_t last_backslash(const Text& path) {
  std::size_t found = Text::npos;
  for (std::size_t i = 0; i < path.size();) {
    if (path[i] == '\\') found = i;
    i += IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(path[i])) && i + 1 < path.size() ? 2 : 1;
  }
  return found;
}
}  // namespace

Text program_folder() {
  Text path = module_path();
  std::size_t cut = last_backslash(path);
  return cut == Text::npos ? Text() : path.substr(0, cut);
}

Text executable_name() {
  Text path = module_path();
  std::size_t cut = last_backslash(path);
  return cut == Text::npos ? path : path.substr(cut + 1);
}

}  // namespace tamsel
