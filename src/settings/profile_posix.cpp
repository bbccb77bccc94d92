// set.ini on Linux: the INI text is read whole, changed in memory and written
// to a temporary file in the same folder that then replaces the old file, so
// that an interrupted write never leaves half a file behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "settings/ini_document.h"
#include "settings/profile.h"

namespace tamsel {

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close_now(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool close_now() {
    if (fd_ < 0) return true;
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

bool read_whole_file(const Text& path, std::string& content) {
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return false;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  content.clear();
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

bool write_all(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

Text folder_of(const Text& path) {
  std::size_t cut = path.rfind('/');
  if (cut == Text::npos) return ".";
  return cut == 0 ? Text("/") : path.substr(0, cut);
}

// Creates the missing folders above the file, each for this user only.
void make_parent_folders(const Text& path) {
  for (std::size_t cut = path.find('/', 1); cut != Text::npos; cut = path.find('/', cut + 1)) {
    ::mkdir(path.substr(0, cut).c_str(), 0700);
  }
}

// A settings file that is a symbolic link is written where the link points.
Text link_target(const Text& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? Text(resolved) : path;
}

bool replace_file(const Text& path, const std::string& content, mode_t mode) {
  Text folder = folder_of(path);
  Text name = path.substr(path.rfind('/') == Text::npos ? 0 : path.rfind('/') + 1);
  std::string temp = (folder == "/" ? Text() : folder) + "/." + name + ".XXXXXX";
  Descriptor file(mkostemp(temp.data(), O_CLOEXEC));
  if (file.get() < 0) return false;
  bool written = write_all(file.get(), content) && fchmod(file.get(), mode) == 0 && fsync(file.get()) == 0;
  written = file.close_now() && written;
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

Text profile_read(const Text& file, const Text& section, const Text& key, const Text& default_value) {
  std::string content;
  Text value;
  if (read_whole_file(file, content) && ini_lookup(content, section, key, value)) return value;
  return default_value;
}

void profile_write(const Text& file, const Text& section, const Text& key, const Text& value) {
  Text path = link_target(file);
  std::string content;
  struct stat info {};
  bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists) {
    // Whatever cannot be read whole is left alone rather than replaced.
    if (!S_ISREG(info.st_mode) || !read_whole_file(path, content)) return;
  } else {
    if (errno != ENOENT) return;
    make_parent_folders(path);
  }
  std::string changed = content;
  if (!ini_store(changed, section, key, value)) return;
  if (exists && changed == content) return;
  replace_file(path, changed, exists ? (info.st_mode & 07777) : 0600);
}

}  // namespace tamsel
