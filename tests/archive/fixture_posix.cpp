#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
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

void set_read_only(const std::string& path) { chmod(path.c_str(), 0444); }

void set_modified(const std::string& path, std::int64_t t) {
  struct timeval tv[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
  utimes(path.c_str(), tv);
}

std::string joined(const std::string& folder, const std::string& name) { return folder + "/" + name; }

}  // namespace ziptest
