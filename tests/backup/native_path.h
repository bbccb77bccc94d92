#pragma once
// Test tables write paths the Windows way; on Linux the backslashes become
// the Linux separator.
#include "backup/text.h"

namespace tamsel::test {

inline Text native(Text path) {
  if (kSeparator != '\\') {
    for (char& c : path) {
      if (c == '\\') c = kSeparator;
    }
  }
  return path;
}

}  // namespace tamsel::test
