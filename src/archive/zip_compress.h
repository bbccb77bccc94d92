#pragma once
#include <functional>

#include "backup/text.h"

namespace tamsel {

// Called after every entry of a folder archive with the whole percentage of
// entries done; answering 0 asks the walk to stop.
using ZipProgress = std::function<int(int percent)>;

// Writes the file or folder tree at source into a new ZIP archive.
// 1: written with every entry; 0: failed; -1: empty argument or missing source.
int zip_compress(const Text& source, const Text& archive, const ZipProgress& observer = {});

}  // namespace tamsel
