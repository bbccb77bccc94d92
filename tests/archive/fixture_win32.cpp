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

void write_file(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("create " + path);
  DWORD w = 0;
  BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &w, nullptr);
  CloseHandle(h);
  if (!ok) throw std::runtime_error("write " + path);
}

std::string read_file(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

void make_folder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void remove_tree(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAA d;
    HANDLE f = FindFirstFileA((path + "\\*").c_str(), &d);
    if (f != INVALID_HANDLE_VALUE) {
      do {
        std::string n = d.cFileName;
        if (n != "." && n != "..") remove_tree(path + "\\" + n);
      } while (FindNextFileA(f, &d));
      FindClose(f);
    }
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

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
