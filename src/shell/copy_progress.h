#pragma once
// The Linux copy behind shell_copy: the copy itself (copy_posix.cpp) and the
// progress it reports to the window that shows it (copy_qt.cpp).
#include <cstdint>
#include <memory>

#include "backup/text.h"

namespace tamsel {

// What a copy has to do or has done: entries (files, folders, links, other
// nodes) and the bytes of the files' contents.
struct CopyAmount {
  std::uint64_t items = 0;
  std::uint64_t bytes = 0;
};

struct CopyState {
  bool listing = false;  // still looking through the source; total grows
  CopyAmount done;
  CopyAmount total;
  Text current;          // path of the entry at work, below the source
};

// Receives the state of a running copy, often (every entry and every block
// of data). Returning false stops the copy, which then fails.
class CopyProgress {
 public:
  virtual ~CopyProgress() = default;
  virtual bool update(const CopyState& state) = 0;
};

// The progress window of the program: null when there is no QApplication
// (command-line tools, plain tests); otherwise a dialog that appears when the
// copy lasts longer than half a second and closes when it is destroyed.
std::unique_ptr<CopyProgress> make_copy_progress();

// Copies the file, folder tree, link or other node at source to the new path
// target, with contents, modification times and permission bits. Never
// replaces anything: false when target exists. Inside a folder, links are
// copied as links and never followed. On failure or when progress stops it,
// everything this call created is removed again and the result is false.
bool copy_with_progress(const Text& target, const Text& source, CopyProgress* progress);

}  // namespace tamsel
