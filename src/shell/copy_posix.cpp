// shell_copy on Linux: the source is listed first (so a target inside the
// source is never copied into itself), then every entry is created below the
// new target. Whatever was created is removed again when the copy fails.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "shell/copy_progress.h"
#include "shell/shell.h"

namespace tamsel {

namespace {

// Small enough that the progress window is served often on slow disks.
constexpr std::size_t kBlockSize = std::size_t{256} << 10;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and tells whether the data reached the file system.
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct Entry {
  Text rel;  // path below the source; empty for the source itself
  struct stat st;
};

Text without_trailing_separators(Text path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

Text last_name(const Text& path) {
  std::size_t slash = path.rfind('/');
  return slash == Text::npos ? path : path.substr(slash + 1);
}

Text join(const Text& root, const Text& rel) {
  if (rel.empty()) return root;
  if (root.empty()) return rel;
  if (root.back() == '/') return root + rel;
  return root + '/' + rel;
}

bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

class TreeCopy {
 public:
  TreeCopy(const Text& target, const Text& source, CopyProgress* progress)
      : target_(without_trailing_separators(target)),
        source_(without_trailing_separators(source)),
        shown_name_(last_name(source_)),
        progress_(progress) {}

  bool run() {
    if (target_.empty() || source_.empty()) return false;
    if (target_.find('\0') != Text::npos || source_.find('\0') != Text::npos) return false;
    struct stat existing;
    if (lstat(target_.c_str(), &existing) == 0 || errno != ENOENT) return false;
    if (!list_source()) return false;
    if (copy_entries() && finish_folders()) return true;
    remove_created();
    return false;
  }

 private:
  struct Created {
    Text path;
    bool folder;
  };

  bool report() {
    return progress_ == nullptr || progress_->update(state_);
  }

  void count(const Entry& entry) {
    ++state_.total.items;
    if (S_ISREG(entry.st.st_mode)) state_.total.bytes += static_cast<std::uint64_t>(entry.st.st_size);
  }

  // The whole listing is taken before anything is created.
  bool list_source() {
    Entry root{Text(), {}};
    if (stat(source_.c_str(), &root.st) != 0) return false;
    state_.listing = true;
    entries_.push_back(root);
    count(root);
    bool ok = !S_ISDIR(root.st.st_mode) || list_folder(Text());
    state_.listing = false;
    return ok;
  }

  bool list_folder(const Text& rel) {
    state_.current = join(shown_name_, rel);
    if (!report()) return false;
    std::vector<Text> names;
    {
      DirHandle dir(opendir(join(source_, rel).c_str()));
      if (!dir) return false;
      errno = 0;
      while (dirent* item = readdir(dir.get())) {
        Text name = item->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
        errno = 0;
      }
      if (errno != 0) return false;
    }
    std::sort(names.begin(), names.end());
    for (const Text& name : names) {
      Entry entry{join(rel, name), {}};
      if (lstat(join(source_, entry.rel).c_str(), &entry.st) != 0) {
        if (errno == ENOENT) continue;  // gone since the folder was read
        return false;
      }
      entries_.push_back(entry);
      count(entry);
      if (!report()) return false;
      if (S_ISDIR(entry.st.st_mode) && !list_folder(entry.rel)) return false;
    }
    return true;
  }

  bool copy_entries() {
    for (const Entry& entry : entries_) {
      state_.current = join(shown_name_, entry.rel);
      if (!report() || !create(entry)) return false;
      ++state_.done.items;
    }
    return true;
  }

  bool create(const Entry& entry) {
    const Text from = join(source_, entry.rel);
    const Text to = join(target_, entry.rel);
    const mode_t type = entry.st.st_mode & S_IFMT;
    if (type == S_IFDIR) {
      // Owner-writable until the end, so that the contents can go in even
      // when the source folder is read-only; finish_folders sets the mode.
      if (mkdir(to.c_str(), S_IRWXU) != 0) return false;
      created_.push_back({to, true});
      return true;
    }
    if (type == S_IFREG) return copy_file(from, to, entry.rel.empty());
    if (type == S_IFLNK) return copy_link(from, to, entry);
    // Fifos, sockets and devices are made anew as the same kind of node;
    // they are never opened, so a fifo without a writer cannot block.
    if (mknod(to.c_str(), type | S_IRUSR | S_IWUSR, entry.st.st_rdev) != 0) return false;
    created_.push_back({to, false});
    const struct timespec times[2] = {entry.st.st_atim, entry.st.st_mtim};
    return fchmodat(AT_FDCWD, to.c_str(), entry.st.st_mode & 07777, 0) == 0 &&
           utimensat(AT_FDCWD, to.c_str(), times, 0) == 0;
  }

  bool copy_file(const Text& from, const Text& to, bool is_source) {
    // The source itself may be reached through a link; entries inside it
    // are opened only as what the listing found. O_NONBLOCK keeps a node
    // that took a file's place from blocking the open.
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (!is_source) flags |= O_NOFOLLOW;
    Fd in(open(from.c_str(), flags));
    if (!in.valid()) return false;
    struct stat st;
    if (fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    int status = fcntl(in.get(), F_GETFL);
    if (status < 0 || fcntl(in.get(), F_SETFL, status & ~O_NONBLOCK) != 0) return false;

    Fd out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR));
    if (!out.valid()) return false;
    created_.push_back({to, false});

    buffer_.resize(kBlockSize);
    for (;;) {
      ssize_t n = ::read(in.get(), buffer_.data(), buffer_.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (n == 0) break;
      if (!write_all(out.get(), buffer_.data(), static_cast<std::size_t>(n))) return false;
      state_.done.bytes += static_cast<std::uint64_t>(n);
      if (!report()) return false;
    }
    struct stat copy;
    if (fstat(out.get(), &copy) != 0) return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return fchmod(out.get(), copied_mode(st, copy)) == 0 && futimens(out.get(), times) == 0 &&
           out.close();
  }

  // The copy belongs to whoever runs the backup. A set-user-ID or set-group-ID
  // bit comes along only where the copy has the source's owner or group, so
  // that a copy made by root never runs another user's program as root.
  static mode_t copied_mode(const struct stat& source, const struct stat& copy) {
    mode_t mode = source.st_mode & 07777;
    if (copy.st_uid != source.st_uid) mode &= ~static_cast<mode_t>(S_ISUID);
    if (copy.st_gid != source.st_gid) mode &= ~static_cast<mode_t>(S_ISGID);
    return mode;
  }

  bool copy_link(const Text& from, const Text& to, const Entry& entry) {
    Text link(static_cast<std::size_t>(entry.st.st_size) + 1, '\0');
    for (;;) {
      ssize_t n = readlink(from.c_str(), link.data(), link.size());
      if (n < 0) return false;
      if (static_cast<std::size_t>(n) < link.size()) {
        link.resize(static_cast<std::size_t>(n));
        break;
      }
      link.resize(link.size() * 2);  // the link changed since it was listed
    }
    if (symlink(link.c_str(), to.c_str()) != 0) return false;
    created_.push_back({to, false});
    // Not every file system keeps times of links; the link itself is what
    // matters, so a refusal here does not fail the copy.
    const struct timespec times[2] = {entry.st.st_atim, entry.st.st_mtim};
    utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return true;
  }

  // Folder modes and times last, deepest first: writing into a folder
  // changes its time, and a read-only mode would stop the writing.
  bool finish_folders() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
      if (!S_ISDIR(it->st.st_mode)) continue;
      const Text to = join(target_, it->rel);
      const struct timespec times[2] = {it->st.st_atim, it->st.st_mtim};
      if (chmod(to.c_str(), it->st.st_mode & 07777) != 0) return false;
      if (utimensat(AT_FDCWD, to.c_str(), times, 0) != 0) return false;
    }
    return true;
  }

  // Removes what this copy created, newest first; only those paths.
  void remove_created() {
    for (const Created& c : created_) {
      if (c.folder) chmod(c.path.c_str(), S_IRWXU);
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      if (it->folder) {
        rmdir(it->path.c_str());
      } else {
        unlink(it->path.c_str());
      }
    }
    created_.clear();
  }

  const Text target_;
  const Text source_;
  const Text shown_name_;
  CopyProgress* const progress_;
  std::vector<Entry> entries_;
  std::vector<Created> created_;
  std::vector<char> buffer_;
  CopyState state_;
};

}  // namespace

bool copy_with_progress(const Text& target, const Text& source, CopyProgress* progress) {
  TreeCopy copy(target, source, progress);
  return copy.run();
}

bool shell_copy(const Text& target, const Text& source) {
  if (source.empty()) return false;
  std::unique_ptr<CopyProgress> progress = make_copy_progress();
  return copy_with_progress(target, source, progress.get());
}

}  // namespace tamsel
