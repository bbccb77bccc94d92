#pragma once
// Real files in a temporary folder for the archive tests.
#include <cstdint>
#include <string>

namespace ziptest {

#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

// A fresh folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + kSep + name; }

 private:
  std::string path_;
};

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
void make_folder(const std::string& path);
bool exists(const std::string& path);
void remove_tree(const std::string& path);
void set_read_only(const std::string& path);
// Sets the last-write time to a Unix instant.
void set_modified(const std::string& path, std::int64_t unix_seconds);
// Byte order of a folder listing's names, as the platform lists them.
std::string joined(const std::string& folder, const std::string& name);

}  // namespace ziptest
