#pragma once
// File helpers for tests: byte-string paths on both platforms (the ANSI code
// page on Windows, UTF-8 on Linux), real folders under the system's temp.
#include <optional>
#include <vector>

#include "backup/text.h"

namespace tamsel::test {

// A fresh folder under the temp folder, removed with all it holds at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const Text& path() const { return path_; }
  // The path of a name inside the folder (name may hold separators).
  Text operator/(const Text& name) const;

 private:
  Text path_;
};

Text join(const Text& folder, const Text& name);
bool write_file(const Text& path, const Text& bytes);
std::optional<Text> read_file(const Text& path);
bool make_folder(const Text& path);  // one level
bool exists(const Text& path);       // file or folder
bool is_dir(const Text& path);
bool remove_tree(const Text& path);
// Names in the folder, sorted bytewise, without "." and "..".
std::vector<Text> list_folder(const Text& path);

}  // namespace tamsel::test
