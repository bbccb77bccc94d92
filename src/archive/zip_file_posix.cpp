// POSIX file, listing and time services of the archive writer.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "archive/zip_file.h"

namespace tamsel {
namespace {

FileMoment moment_of(std::int64_t seconds) {
  FileMoment m;
  m.instant = seconds;
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (localtime_r(&t, &tm) != nullptr) {
    m.local = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
  return m;
}

FileIdentity identity_of(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool is_missing_error(int e) { return e == ENOENT || e == ENOTDIR || e == ELOOP; }

Text base_name(const Text& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  std::size_t slash = path.rfind('/', end - 1);
  std::size_t start = slash == Text::npos ? 0 : slash + 1;
  return path.substr(start, end - start);
}

PathKind kind_of_mode(mode_t mode) {
  if (S_ISREG(mode)) return PathKind::file;
  if (S_ISDIR(mode)) return PathKind::folder;
  return PathKind::other;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

}  // namespace

PathKind path_kind(const Text& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return PathKind::missing;
  return kind_of_mode(st.st_mode);
}

bool same_file(const Text& a, const Text& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return identity_of(sa) == identity_of(sb);
}

ArchiveFile::~ArchiveFile() { close(); }

bool ArchiveFile::create(const Text& path) {
  close();
  // O_NONBLOCK: a FIFO at the path fails at once instead of waiting for a
  // reader; regular files are not affected by it.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  // Only a regular file can become an archive (and be removed when it fails).
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  identity_ = identity_of(st);
  return true;
}

bool ArchiveFile::is_open() const { return fd_ >= 0; }

bool ArchiveFile::write_at(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = pwrite(fd_, data, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

bool ArchiveFile::truncate(std::uint64_t offset) {
  return ftruncate(fd_, static_cast<off_t>(offset)) == 0;
}

void ArchiveFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool remove_file(const Text& path) { return unlink(path.c_str()) == 0; }

SourceFile::~SourceFile() { close(); }

OpenResult SourceFile::open(const Text& path, const ArchiveFile& archive) {
  close();
  // O_NONBLOCK keeps a FIFO from blocking the open (it is refused below); it
  // changes nothing for the regular files that are read.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return is_missing_error(errno) ? OpenResult::missing : OpenResult::failed;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      (archive.is_open() && identity_of(st) == archive.identity())) {
    ::close(fd);
    return OpenResult::failed;
  }
  fd_ = fd;
  return OpenResult::opened;
}

bool SourceFile::facts(const Text& path, SourceFacts& out) const {
  struct statx sx;
  if (statx(fd_, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  out.size = sx.stx_size;
  std::uint32_t dos = 0x20;  // regular files carry the archive bit
  if ((sx.stx_mode & S_IWUSR) == 0) dos |= 0x01;
  Text name = base_name(path);
  if (!name.empty() && name[0] == '.') dos |= 0x02;
  out.dos = dos;
  out.modified = moment_of(sx.stx_mtime.tv_sec);
  out.accessed = moment_of(sx.stx_atime.tv_sec);
  out.created = (sx.stx_mask & STATX_BTIME) ? moment_of(sx.stx_btime.tv_sec) : out.modified;
  return true;
}

long long SourceFile::read(unsigned char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : static_cast<long long>(n);
  }
}

void SourceFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FolderListing list_folder(const Text& folder) {
  FolderListing listing;
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) {
    listing.gone = is_missing_error(errno);
    return listing;
  }
  int dfd = dirfd(dir.get());
  struct stat st;
  if (fstat(dfd, &st) != 0) return listing;
  listing.identity = identity_of(st);
  for (;;) {
    errno = 0;
    struct dirent* d = readdir(dir.get());
    if (d == nullptr) {
      if (errno != 0) return listing;
      break;
    }
    const char* n = d->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    ListedName item;
    item.name = n;
    switch (d->d_type) {
      case DT_REG: item.kind = PathKind::file; break;
      case DT_DIR: item.kind = PathKind::folder; break;
      case DT_LNK:
      case DT_UNKNOWN: {
        // Links count as what they point to; a dangling one no longer exists.
        struct stat target;
        item.kind = fstatat(dfd, n, &target, 0) == 0 ? kind_of_mode(target.st_mode)
                                                     : PathKind::missing;
        break;
      }
      default: item.kind = PathKind::other; break;
    }
    listing.names.push_back(std::move(item));
  }
  listing.ok = true;
  return listing;
}

FileMoment moment_now() { return moment_of(static_cast<std::int64_t>(std::time(nullptr))); }


}  // namespace tamsel
