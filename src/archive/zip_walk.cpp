#include "archive/zip_walk.h"

#include <algorithm>

namespace tamsel {
namespace {

bool on_branch(const std::vector<FileIdentity>& branch, const FileIdentity& id) {
  return std::find(branch.begin(), branch.end(), id) != branch.end();
}

long long count_below(const Text& folder, const FolderListing& listing,
                      std::vector<FileIdentity>& branch) {
  long long n = 0;
  branch.push_back(listing.identity);
  for (const ListedName& item : listing.names) {
    if (item.kind == PathKind::file) ++n;
    if (item.kind != PathKind::folder) continue;
    const Text sub = join_path(folder, item.name);
    FolderListing inner = list_folder(sub);
    if (inner.gone) continue;
    ++n;
    if (inner.ok && !on_branch(branch, inner.identity)) n += count_below(sub, inner, branch);
  }
  branch.pop_back();
  return n;
}

// Counts the entry as done, remembers it and asks the observer.
void entry_done(WalkState& s, const Text& path) {
  ++s.done;
  s.last = path;
  if (s.observer && *s.observer && (*s.observer)(progress_percent(s.done, s.total)) == 0) {
    s.stop = true;
  }
}

}  // namespace

Text join_path(const Text& folder, const Text& name) {
  Text path = folder;
  if (!ends_in_separator(path)) path += kSeparator;
  path += name;
  return path;
}

bool relative_name(const Text& root, const Text& path, Text& out) {
  if (root.empty() || path.empty() || path.size() < root.size()) return false;
  out = path.substr(root.size());
  if (!out.empty() && out[0] == kSeparator) out.erase(0, 1);
  return true;
}

int progress_percent(long long done, long long total) {
  if (total <= 0 || done >= total) return 100;
  return static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * 100.0);
}

long long count_entries(const Text& root) {
  FolderListing listing = list_folder(root);
  if (!listing.ok) return 0;
  std::vector<FileIdentity> branch;
  return count_below(root, listing, branch);
}

bool walk_folder(WalkState& s, const Text& folder, const FolderListing& listing) {
  if (s.stop) return true;
  Text base;
  if (!relative_name(s.root, folder, base)) return false;
  const Text prefix = base.empty() ? Text() : base + kSeparator;
  s.branch.push_back(listing.identity);

  for (const ListedName& item : listing.names) {
    if (item.kind != PathKind::file) continue;
    const Text path = join_path(folder, item.name);
    AddResult r = s.writer->add(prefix + item.name, path, EntryKind::file);
    if (r == AddResult::failed) return false;
    if (r == AddResult::missing) continue;  // vanished since the listing
    entry_done(s, path);
    if (s.stop) break;
  }

  for (const ListedName& item : listing.names) {
    if (item.kind != PathKind::folder) continue;
    const Text sub = join_path(folder, item.name);
    Text name;
    if (!relative_name(s.root, sub, name)) return false;
    FolderListing inner;
    if (!s.stop) {
      inner = list_folder(sub);
      if (inner.gone) continue;
      if (!inner.ok) return false;
    }
    if (s.writer->add(name, Text(), EntryKind::folder) != AddResult::added) return false;
    entry_done(s, sub);
    // A folder already open higher up this branch (a link or junction back
    // up the tree) is archived as its entry only.
    if (s.stop || on_branch(s.branch, inner.identity)) continue;
    if (!walk_folder(s, sub, inner)) return false;
  }
  s.branch.pop_back();
  return true;
}

}  // namespace tamsel
