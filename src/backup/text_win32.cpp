// Characters of the ANSI code page: a lead byte, as the code page defines
// it, takes the byte after it into the same character.
#include <windows.h>

#include "backup/text.h"

namespace tamsel {

std::size_t char_length(const Text& text, std::size_t i) {
  if (i + 1 < text.size() && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[i]))) return 2;
  return 1;
}

bool full_width_space_at(const Text& text, std::size_t i, std::size_t& n) {
  if (i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
      static_cast<unsigned char>(text[i + 1]) == 0xA1) {
    n = 2;
    return true;
  }
  return false;
}

}  // namespace tamsel
