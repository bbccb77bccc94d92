// Names of backup folders and copies, built from the pieces of a dropped path.
#include "backup/names.h"

#include <cstdio>

#include "backup/custom_folder.h"
#include "shell/shell.h"

namespace tamsel {

namespace {
const Text kSep(1, kSeparator);

#ifdef _WIN32
// A drive root such as C:\ is three bytes long and is its own item name.
constexpr bool kShortPathIsItsOwnName = true;
#else
constexpr bool kShortPathIsItsOwnName = false;
#endif

int length(const Text& t) { return static_cast<int>(t.size()); }

// Whether the last dot lies in the last element of the path.
bool dot_in_last_element(const Text& path) {
  const int d = last_position(path, ".");
  return d != -1 && d > last_position(path, kSep);
}
}  // namespace

Text folder_with_separator(const Text& path) {
  if (is_folder(path)) return path;
  return take_middle(path, 1, last_position(path, kSep));
}

Text folder_without_separator(const Text& path) {
  if (is_folder(path)) return take_middle(path, 1, last_position(path, kSep) - 1);
  return path;
}

Text item_name(Text& path) {
  path = trim_spaces(path);
  if (path.empty()) return path;
  if (kShortPathIsItsOwnName && path.size() <= 3) return path;
  if (path.find_first_not_of(kSeparator) == Text::npos) return path;  // the file-system root
  return take_right(path, length(path) - last_position(path, kSep));
}

Text file_stem(Text& path) {
  path = trim_spaces(path);
  const int b = last_position(path, kSep);
  if (!dot_in_last_element(path)) {
    // No dot in the file name: the whole name is the stem.
    return take_right(path, length(path) - b);
  }
  const int d = last_position(path, ".");
  return take_middle(path, b + 1, d - b - 1);
}

Text file_extension(Text& path) {
  path = trim_spaces(path);
  if (!dot_in_last_element(path)) return Text();
  return take_right(path, length(path) - last_position(path, "."));
}

bool has_extension(Text& path) {
  path = trim_spaces(path);
  return dot_in_last_element(path);
}

Text time_text() { return time_text(local_now()); }

Text time_text(const LocalTime& t) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%d年%02d月%02d日%02d时%02d分%02d秒", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

Text custom_base(const Text& custom_folder) {
  const Text folder = custom_folder.empty() ? empty_custom_folder() : custom_folder;
  return folder + kSep + "allvorinbak" + kSep;
}

Text backup_folder(Text& item, bool item_is_folder, Location location, const Text& custom_base_path) {
  if (location == Location::Custom) {
    const Text name = item_is_folder ? item_name(item) : file_stem(item);
    return custom_base_path + name + "bak";
  }
  if (item_is_folder) {
    const Text parent = folder_without_separator(item);  // sees the item untrimmed
    const Text name = item_name(item);
    return parent + kSep + name + "bak";
  }
  const Text folder = folder_with_separator(item);  // sees the item untrimmed
  const Text stem = file_stem(item);
  return folder + stem + "bak";
}

Text backup_name(Text& item, bool item_is_folder, Compression compression, const Text& time) {
  if (item_is_folder) {
    const Text name = item_name(item);
    return compression == Compression::Archive ? name + time + ".zip" : name + time;
  }
  const Text stem = file_stem(item);
  if (compression == Compression::Archive) return stem + time + ".zip";
  if (!has_extension(item)) return stem + time;
  return stem + time + "." + file_extension(item);
}

void ensure_folder(const Text& path) {
  if (is_folder(path)) return;
  create_folder(path);
}

}  // namespace tamsel
