#pragma once
// The file-system and clock services the archive writer needs, one set per
// platform (zip_file_win32.cpp, zip_file_posix.cpp). Everything here is a
// thin wrapper: the rules of the archive live in the portable code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "backup/text.h"

namespace tamsel {

// A broken-down local time.
struct LocalTime {
  int year = 1980;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One moment of a file: its local time and its instant in seconds since
// 1970-01-01 00:00:00 UTC.
struct FileMoment {
  LocalTime local;
  std::int64_t instant = 0;
};

// What the writer takes from an open source file.
struct SourceFacts {
  std::uint64_t size = 0;     // size when opened; the data read may differ
  std::uint32_t dos = 0;      // DOS attribute bits (read-only 0x01 ... archive 0x20)
  FileMoment modified;
  FileMoment accessed;
  FileMoment created;
};

// Identity of a file or folder: device (volume serial) and inode (file index).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

enum class PathKind { missing, file, folder, other };

// Kind of whatever is at path, following links.
PathKind path_kind(const Text& path);

// True when both paths name one existing file.
bool same_file(const Text& a, const Text& b);

// The archive being written: created or emptied, open for writing and shared
// with nobody (on Linux, sources with its identity refuse to open).
class ArchiveFile {
 public:
  ArchiveFile() = default;
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  bool create(const Text& path);
  bool is_open() const;
  // Writes all bytes at the offset; false when any byte could not be written.
  bool write_at(std::uint64_t offset, const unsigned char* data, std::size_t size);
  // Cuts the file at the offset (drops a partly written entry).
  bool truncate(std::uint64_t offset);
  void close();
  const FileIdentity& identity() const { return identity_; }

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
  int fd_ = -1;
#endif
  FileIdentity identity_;
};

// Removes a file; false when it could not be removed.
bool remove_file(const Text& path);

enum class OpenResult { opened, missing, failed };

// A source file open for reading, shared for reading only.
class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // missing: the path no longer exists; failed: it exists but cannot be read
  // (locked, access denied, not a regular file, or the archive itself).
  OpenResult open(const Text& path, const ArchiveFile& archive);
  bool facts(const Text& path, SourceFacts& out) const;
  // Bytes read (0 at the end) or -1 on a read error.
  long long read(unsigned char* buffer, std::size_t size);
  void close();

 private:
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
  int fd_ = -1;
#endif
};

// One name of a folder listing ("." and ".." left out).
struct ListedName {
  Text name;
  PathKind kind = PathKind::file;  // file, folder (links to folders too), other, or missing
};

// Lists a folder with the kind of every name. ok false: the folder could not
// be listed; gone true: it no longer exists.
struct FolderListing {
  bool ok = false;
  bool gone = false;
  FileIdentity identity;
  std::vector<ListedName> names;
};
FolderListing list_folder(const Text& folder);

// The local time now, and now as an instant.
FileMoment moment_now();

}  // namespace tamsel
