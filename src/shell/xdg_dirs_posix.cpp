#include <fstream>
#include <sstream>

#include "shell/user_folders.h"
#include "shell/xdg_dirs.h"

namespace tamsel {

Text desktop_dir_from_user_dirs(const Text& file_text, const Text& home) {
  // The file is a shell script: a later setting replaces an earlier one.
  std::istringstream lines(file_text);
  Text line;
  Text found;
  while (std::getline(lines, line)) {
    const Text key = "XDG_DESKTOP_DIR=";
    std::size_t start = line.find_first_not_of(" \t");
    if (start == Text::npos || line.compare(start, key.size(), key) != 0) continue;
    Text value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
      value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    Text out;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) {
        out += value[++i];
      } else {
        out += value[i];
      }
    }
    if (out.rfind("$HOME", 0) == 0) out = home + out.substr(5);
    if (out.empty() || out.front() != '/') continue;
    found = out;
  }
  return found;
}

Text xdg_desktop_folder() {
  const Text home = home_folder();
  if (home.empty()) return Text();
  std::ifstream file(configuration_folder() + "/user-dirs.dirs", std::ios::binary);
  if (file) {
    std::ostringstream text;
    text << file.rdbuf();
    Text dir = desktop_dir_from_user_dirs(text.str(), home);
    if (!dir.empty()) return dir;
  }
  return home + "/Desktop";
}

}  // namespace tamsel
