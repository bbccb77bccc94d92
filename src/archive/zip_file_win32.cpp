// Win32 file, listing and time services of the archive writer (ANSI "A"
// functions, paths in the ANSI code page).
#include <windows.h>

#include "archive/zip_file.h"

namespace tamsel {
namespace {

constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

std::uint64_t ticks_of(const FILETIME& ft) {
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

LocalTime local_of(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// The file's instant in the local time of its own date (zone rules of that
// day, not of today).
FileMoment moment_of(const FILETIME& ft) {
  FileMoment m;
  std::uint64_t ticks = ticks_of(ft);
  m.instant = (static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(kUnixEpochAsFileTime)) /
              10000000;
  SYSTEMTIME utc, local;
  if (FileTimeToSystemTime(&ft, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    m.local = local_of(local);
  }
  return m;
}

// A name the ANSI code page cannot spell comes back from the listing with "?"
// in it and fails as an invalid name: that file exists and is not skipped.
bool is_missing_error(DWORD e) { return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND; }

Text joined(const Text& folder, const char* name) {
  Text path = folder;
  if (!ends_in_separator(path)) path += '\\';
  path += name;
  return path;
}

struct HandleCloser {
  HANDLE h;
  ~HandleCloser() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

struct FindCloser {
  HANDLE h;
  ~FindCloser() {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};

bool identity_of(HANDLE h, FileIdentity& out) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) return false;
  out.device = info.dwVolumeSerialNumber;
  out.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool identity_of_path(const Text& path, FileIdentity& out) {
  HandleCloser h{CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  return h.h != INVALID_HANDLE_VALUE && identity_of(h.h, out);
}

}  // namespace

PathKind path_kind(const Text& path) {
  if (path.empty()) return PathKind::missing;
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return PathKind::missing;
  return (a & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::folder : PathKind::file;
}

bool same_file(const Text& a, const Text& b) {
  FileIdentity ia, ib;
  return identity_of_path(a, ia) && identity_of_path(b, ib) && ia == ib;
}

ArchiveFile::~ArchiveFile() { close(); }

bool ArchiveFile::create(const Text& path) {
  close();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  // Only a disk file can become an archive (and be removed when it fails).
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return false;
  }
  handle_ = h;
  identity_of(h, identity_);
  return true;
}

bool ArchiveFile::is_open() const { return handle_ != INVALID_HANDLE_VALUE; }

bool ArchiveFile::write_at(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!WriteFile(handle_, data, chunk, &written, &at) || written != chunk) return false;
    data += chunk;
    size -= chunk;
    offset += chunk;
  }
  return true;
}

bool ArchiveFile::truncate(std::uint64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) && SetEndOfFile(handle_);
}

void ArchiveFile::close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

bool remove_file(const Text& path) { return DeleteFileA(path.c_str()) != 0; }

SourceFile::~SourceFile() { close(); }

OpenResult SourceFile::open(const Text& path, const ArchiveFile&) {
  close();
  // Read sharing only: the open fails while another program writes the file,
  // and the archive itself (opened unshared) cannot be opened.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return is_missing_error(GetLastError()) ? OpenResult::missing : OpenResult::failed;
  }
  handle_ = h;
  return OpenResult::opened;
}

bool SourceFile::facts(const Text&, SourceFacts& out) const {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle_, &info)) return false;
  out.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  out.dos = info.dwFileAttributes & 0x37;
  out.modified = moment_of(info.ftLastWriteTime);
  out.accessed = moment_of(info.ftLastAccessTime);
  out.created = moment_of(info.ftCreationTime);
  return true;
}

long long SourceFile::read(unsigned char* buffer, std::size_t size) {
  DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, chunk, &got, nullptr)) return -1;
  return got;
}

void SourceFile::close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

FolderListing list_folder(const Text& folder) {
  FolderListing listing;
  WIN32_FIND_DATAA data;
  FindCloser find{FindFirstFileA(joined(folder, "*.*").c_str(), &data)};
  if (find.h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    listing.gone = is_missing_error(e) && GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    // A folder with nothing at all in it (a drive root) lists no names.
    if (e == ERROR_FILE_NOT_FOUND && !listing.gone) {
      listing.ok = identity_of_path(folder, listing.identity);
    }
    return listing;
  }
  if (!identity_of_path(folder, listing.identity)) return listing;
  do {
    const char* n = data.cFileName;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    ListedName item;
    item.name = n;
    item.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::folder : PathKind::file;
    listing.names.push_back(std::move(item));
  } while (FindNextFileA(find.h, &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) return listing;
  listing.ok = true;
  return listing;
}

FileMoment moment_now() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  FileMoment m;
  m.instant = (static_cast<std::int64_t>(ticks_of(ft)) - static_cast<std::int64_t>(kUnixEpochAsFileTime)) /
              10000000;
  SYSTEMTIME local;
  GetLocalTime(&local);
  m.local = local_of(local);
  return m;
}

}  // namespace tamsel
