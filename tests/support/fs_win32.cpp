#include <windows.h>

#include <algorithm>

#include "support/fs.h"

namespace tamsel::test {

TempFolder::TempFolder() {
  char base[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  if (n == 0 || n >= MAX_PATH) return;
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    Text candidate = Text(base) + "tamsel-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(GetTickCount() + attempt);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) remove_tree(path_);
}

bool write_file(const Text& path, const Text& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  return CloseHandle(h) && ok;
}

std::optional<Text> read_file(const Text& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  Text bytes;
  char buffer[65536];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buffer, sizeof buffer, &n, nullptr) != FALSE) && n > 0) bytes.append(buffer, n);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return bytes;
}

bool make_folder(const Text& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool exists(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool is_dir(const Text& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<Text> list_folder(const Text& path) {
  std::vector<Text> names;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(join(path, "*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    Text name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &data));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

bool remove_tree(const Text& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (a & FILE_ATTRIBUTE_DIRECTORY));
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    for (const Text& name : list_folder(path)) remove_tree(join(path, name));
    return RemoveDirectoryA(path.c_str()) != FALSE;
  }
  return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace tamsel::test
