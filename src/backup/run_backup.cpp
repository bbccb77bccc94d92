#include "backup/run_backup.h"

#include <string>

#include "app/controls.h"
#include "app/events.h"
#include "archive/zip_compress.h"
#include "backup/entry_exists.h"
#include "backup/names.h"
#include "backup/progress_window.h"
#include "shell/shell.h"

namespace tamsel {

namespace {

const char kSucceeded[] = "备份：成功！";
const char kFailed[] = "备份：失败！";

// More backups of one item within one second than this are not expected.
constexpr int kMaxNumberedTargets = 9999;

// The target path of the backup: the first of BackupName, then the names with
// " (2)", " (3)", ... after the TimeText, that nothing occupies yet, so that
// an existing backup is never replaced. Empty when all are taken.
Text free_target(const Text& folder, Text& item, bool item_is_folder, Compression compression, const Text& time) {
  for (int n = 1; n <= kMaxNumberedTargets; ++n) {
    Text stamp = n == 1 ? time : time + " (" + std::to_string(n) + ")";
    Text target = folder + kSeparator + backup_name(item, item_is_folder, compression, stamp);
    if (!entry_exists(target)) return target;
  }
  return Text();
}

bool write_backup(const Text& source, bool item_is_folder, Compression compression, const Text& target) {
  if (compression == Compression::PlainCopy) return shell_copy(target, source);
  if (!item_is_folder) return zip_compress(source, target) == 1;
  Text name_source = source;
  ProgressWindow progress(item_name(name_source));
  return zip_compress(source, target, [&progress](int percent) {
           progress.show_percent(percent);
           return 1;
         }) == 1;
}

// What is copied or archived. Windows resolves a path without its trailing
// spaces, so there the trimmed item names the dropped file. A Linux name may
// end in spaces, and its trimmed form may name another file or none: the
// source is the item exactly as dropped.
const Text& source_of(const Text& dropped, const Text& trimmed) {
#ifdef _WIN32
  (void)dropped;
  return trimmed;
#else
  (void)trimmed;
  return dropped;
#endif
}

// One item of the drop; true when its backup was written.
bool back_up_item(const Text& dropped, Location location) {
  Text item = dropped;  // the name rules trim it in place
  const Compression compression = selected(Control::单选框1) ? Compression::PlainCopy : Compression::Archive;
  if (is_root_path(item)) return false;
  const bool item_is_folder = is_folder(item);
  Text base;
  if (location == Location::Custom) {
    base = custom_base(caption(Control::标签1));
    ensure_folder(base);
  }
  const Text folder = backup_folder(item, item_is_folder, location, base);
  ensure_folder(folder);
  const Text target = free_target(folder, item, item_is_folder, compression, time_text());
  const bool written = !target.empty() && write_backup(source_of(dropped, item), item_is_folder, compression, target);
  shell_open(folder);
  return written;
}

}  // namespace

std::vector<Text> split_drop_list(const Text& drop_list) {
  std::vector<Text> items;
  std::size_t start = 0;
  for (std::size_t i = 0; i < drop_list.size();) {
    if (drop_list[i] == '\r' && i + 1 < drop_list.size() && drop_list[i + 1] == '\n') {
      items.push_back(drop_list.substr(start, i - start));
      i += 2;
      start = i;
    } else {
      i += char_length(drop_list, i);
    }
  }
  if (start < drop_list.size()) items.push_back(drop_list.substr(start));
  return items;
}

bool is_root_path(const Text& path) {
  Text rest = trim_spaces(path);
  while (ends_in_separator(rest)) rest.pop_back();
  if (rest.empty()) return true;  // the root itself, or separators alone
#ifdef _WIN32
  if (rest.size() == 2 && rest[1] == ':') return true;  // a drive
  if (rest.size() >= 2 && rest[0] == kSeparator && rest[1] == kSeparator) {
    // \\server and \\server\share are network roots.
    int separators = 0;
    for (std::size_t i = 2; i < rest.size(); i += char_length(rest, i)) {
      if (rest[i] == kSeparator) ++separators;
    }
    return separators <= 1;
  }
#endif
  return false;
}

void run_backup(const Text& drop_list) {
  const std::vector<Text> items = split_drop_list(drop_list);
  const Location location = selected(Control::单选框3) ? Location::Default : Location::Custom;
  for (const Text& item : items) {
    if (trim_spaces(item).empty()) continue;  // nothing was dropped there
    set_caption(Control::标签4, back_up_item(item, location) ? kSucceeded : kFailed);
  }
}

void attach_backup_handler() { main_window_events().dropped = run_backup; }

}  // namespace tamsel
