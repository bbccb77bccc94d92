#include "archive/zip_compress.h"

#include "archive/zip_file.h"
#include "archive/zip_walk.h"
#include "archive/zip_writer.h"

namespace tamsel {
namespace {

// The bytes after the last separator (two-byte characters stepped over whole).
Text file_name_of(const Text& path) {
  return take_right(path, static_cast<int>(path.size()) - last_position(path, Text(1, kSeparator)));
}

int single_file_archive(const Text& source, const Text& archive) {
  // Writing the archive over its own source would destroy the source.
  if (same_file(source, archive)) return 0;
  ZipWriter writer;
  if (!writer.create(archive)) return 0;
  if (writer.add(file_name_of(source), source, EntryKind::file) == AddResult::added) {
    writer.finish();
    return 1;
  }
  writer.finish();
  remove_file(archive);
  return 0;
}

int folder_archive(const Text& root, const Text& archive, const ZipProgress& observer) {
  ZipWriter writer;
  if (!writer.create(archive)) return 0;
  WalkState state;
  state.writer = &writer;
  state.root = root;
  if (observer) {
    state.observer = &observer;
    state.total = count_entries(root);
  }
  FolderListing listing = list_folder(root);
  const bool ok = listing.ok && walk_folder(state, root, listing);
  writer.finish();
  return ok ? 1 : 0;
}

}  // namespace

int zip_compress(const Text& source, const Text& archive, const ZipProgress& observer) {
  if (source.empty() || archive.empty()) return -1;
  switch (path_kind(source)) {
    case PathKind::missing: return -1;
    case PathKind::folder: return folder_archive(source, archive, observer);
    default: return single_file_archive(source, archive);
  }
}

}  // namespace tamsel
