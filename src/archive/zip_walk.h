#pragma once
// The folder side of an archive: entry names relative to the dropped folder,
// the entry count for progress, and the depth-first walk.
#include <vector>

#include "archive/zip_compress.h"
#include "archive/zip_file.h"
#include "archive/zip_writer.h"

namespace tamsel {

struct WalkState {
  ZipWriter* writer = nullptr;
  const ZipProgress* observer = nullptr;  // null or empty: no progress
  Text root;                              // the folder exactly as passed in
  long long total = 0;
  long long done = 0;
  Text last;                              // full path of the last entry added
  bool stop = false;
  std::vector<FileIdentity> branch;       // folders being walked, root first
};

// The path below the root ("" for the root itself); false when path does not
// lie below it.
bool relative_name(const Text& root, const Text& path, Text& out);

// Files and folders below root, each counted once (the root not counted).
long long count_entries(const Text& root);

// Adds the contents of a listed folder: its files, then each subfolder's
// entry followed by that subfolder's contents. False when an entry could not
// be added or a folder could not be listed.
bool walk_folder(WalkState& state, const Text& folder, const FolderListing& listing);

// Whole percentage of entries done, truncated toward zero.
int progress_percent(long long done, long long total);

// folder and name with one separator between them.
Text join_path(const Text& folder, const Text& name);

}  // namespace tamsel
