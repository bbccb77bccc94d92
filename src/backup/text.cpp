// The four text operations the path rules are built from. Scans step over
// multi-byte characters whole, so a separator is never found inside one.
#include "backup/text.h"

namespace tamsel {

namespace {
bool space_at(const Text& text, std::size_t i, std::size_t& n) {
  if (text[i] == ' ') {
    n = 1;
    return true;
  }
  return full_width_space_at(text, i, n);
}
}  // namespace

bool ends_in_separator(const Text& text) {
  bool last = false;
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) last = text[i] == kSeparator;
  return last;
}

int last_position(const Text& text, const Text& pattern) {
  if (pattern.empty()) return -1;
  int found = -1;
  for (std::size_t i = 0; i + pattern.size() <= text.size(); i += char_length(text, i)) {
    if (text.compare(i, pattern.size(), pattern) == 0) found = static_cast<int>(i) + 1;
  }
  return found;
}

Text take_middle(const Text& text, int start, int count) {
  if (start < 1 || count <= 0 || static_cast<std::size_t>(start) > text.size()) return Text();
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count));
}

Text take_right(const Text& text, int count) {
  if (count <= 0) return Text();
  if (static_cast<std::size_t>(count) >= text.size()) return text;
  return text.substr(text.size() - static_cast<std::size_t>(count));
}

Text trim_spaces(const Text& text) {
  std::size_t begin = 0;
  std::size_t n = 0;
  while (begin < text.size() && space_at(text, begin, n)) begin += n;
  // Where the final run of spaces begins, if the text ends in one.
  std::size_t end = text.size();
  bool in_run = false;
  for (std::size_t i = begin; i < text.size();) {
    if (space_at(text, i, n)) {
      if (!in_run) end = i;
      in_run = true;
      i += n;
    } else {
      in_run = false;
      end = text.size();
      i += char_length(text, i);
    }
  }
  return text.substr(begin, end - begin);
}

}  // namespace tamsel
