#pragma once
// The handler of a drop on the MainWindow: every dropped item is backed up as
// a dated plain copy or ZIP archive, as the radio buttons say, its backup
// folder is opened and the StatusLine reports how it went.
#include <vector>

#include "backup/text.h"

namespace tamsel {

// The items of a DropList: cut at every CR LF, with no item for an empty rest
// behind the last one. Two adjacent CR LF give an empty item.
std::vector<Text> split_drop_list(const Text& drop_list);

// True for paths that name a whole drive or the file-system root (C:\, C:,
// \\server\share, /), which are never backed up.
bool is_root_path(const Text& path);

void run_backup(const Text& drop_list);

// Attaches run_backup to the MainWindow's drop event.
void attach_backup_handler();

}  // namespace tamsel
