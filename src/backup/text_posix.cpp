// Characters of UTF-8 text: one well-formed sequence each; a byte that does
// not begin one counts as a character of its own.
#include "backup/text.h"

namespace tamsel {

namespace {
bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}  // namespace

std::size_t char_length(const Text& text, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const std::size_t left = text.size() - i;
  const unsigned char b = at(0);
  std::size_t n = 1;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  }
  if (n == 1 || left < n) return 1;
  if (at(1) < low || at(1) > high) return 1;
  for (std::size_t k = 2; k < n; ++k) {
    if (!continuation(at(k))) return 1;
  }
  return n;
}

bool full_width_space_at(const Text& text, std::size_t i, std::size_t& n) {
  if (text.compare(i, 3, "\xE3\x80\x80") == 0) {
    n = 3;
    return true;
  }
  return false;
}

}  // namespace tamsel
