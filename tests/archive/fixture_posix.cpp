#include <dirent.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "fixture.h"

namespace ziptest {

TempFolder::TempFolder() {
  char pattern[] = "/tmp/tamsel-zip-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
  path_ = pattern;
  chmod(path_.c_str(), 0777);
}

TempFolder::~TempFolder() { remove_tree(path_); }

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void make_folder(const std::string& path) { mkdir(path.c_str(), 0777); }

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

void remove_tree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") remove_tree(path + "/" + n);
      }
      closedir(d);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

void set_read_only(const std::string& path) { chmod(path.c_str(), 0444); }

void set_modified(const std::string& path, std::int64_t t) {
  struct timeval tv[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
  utimes(path.c_str(), tv);
}

std::string joined(const std::string& folder, const std::string& name) { return folder + "/" + name; }

}  // namespace ziptest
