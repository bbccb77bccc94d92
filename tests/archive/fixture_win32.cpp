#include <windows.h>

#include <stdexcept>

#include "fixture.h"

namespace ziptest {

TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    std::string p = std::string(base) + "tamsel-zip-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
    if (CreateDirectoryA(p.c_str(), nullptr)) {
      path_ = p;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectoryA");
  }
}

TempFolder::~TempFolder() { remove_tree(path_); }

void set_read_only(const std::string& path) {
  SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | FILE_ATTRIBUTE_READONLY);
}

void set_modified(const std::string& path, std::int64_t t) {
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  ULONGLONG ticks = static_cast<ULONGLONG>(t) * 10000000ULL + 116444736000000000ULL;
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SetFileTime(h, nullptr, &ft, &ft);
  CloseHandle(h);
}

std::string joined(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace ziptest
