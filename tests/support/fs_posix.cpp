#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "support/fs.h"

namespace tamsel::test {

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  Text pattern = Text(base && *base ? base : "/tmp") + "/tamsel-test-XXXXXX";
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) remove_tree(path_);
}

bool write_file(const Text& path, const Text& bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(fd) == 0 && ok;
}

std::optional<Text> read_file(const Text& path) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return std::nullopt;
  Text bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  if (n < 0) return std::nullopt;
  return bytes;
}

bool make_folder(const Text& path) { return mkdir(path.c_str(), 0777) == 0; }

bool exists(const Text& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool is_dir(const Text& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<Text> list_folder(const Text& path) {
  std::vector<Text> names;
  DIR* dir = opendir(path.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    Text name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool remove_tree(const Text& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);
    for (const Text& name : list_folder(path)) remove_tree(path + "/" + name);
    return rmdir(path.c_str()) == 0;
  }
  return unlink(path.c_str()) == 0;
}

}  // namespace tamsel::test
