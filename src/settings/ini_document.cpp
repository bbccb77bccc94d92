#include "settings/ini_document.h"

#include <algorithm>

namespace tamsel {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Byte range [begin, end) of content.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

Span trimmed(const std::string& s, Span span) {
  while (span.begin < span.end && is_blank(s[span.begin])) ++span.begin;
  while (span.end > span.begin && is_blank(s[span.end - 1])) --span.end;
  return span;
}

Text trimmed(const Text& text) {
  Span span = trimmed(text, Span{0, text.size()});
  return text.substr(span.begin, span.end - span.begin);
}

bool same_name(const std::string& s, Span span, const Text& name) {
  if (span.end - span.begin != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (ascii_lower(s[span.begin + i]) != ascii_lower(name[i])) return false;
  }
  return true;
}

enum class LineKind { Other, Section, Key };

struct Line {
  Span body;  // the line without its CR LF or LF
  std::size_t next = 0;  // where the following line begins
  LineKind kind = LineKind::Other;
  Span name;          // section or key name, trimmed
  std::size_t equals = 0;  // position of "=" of a key line
  Span value;         // value of a key line, trimmed
};

Line parse_line(const std::string& s, std::size_t begin) {
  Line line;
  std::size_t lf = s.find('\n', begin);
  std::size_t end = lf == std::string::npos ? s.size() : lf;
  line.next = lf == std::string::npos ? s.size() : lf + 1;
  if (end > begin && s[end - 1] == '\r') --end;
  line.body = Span{begin, end};

  Span text = trimmed(s, line.body);
  if (text.begin == text.end || s[text.begin] == ';') return line;
  if (s[text.begin] == '[') {
    std::size_t close = s.find(']', text.begin + 1);
    if (close == std::string::npos || close >= text.end) return line;
    line.kind = LineKind::Section;
    line.name = trimmed(s, Span{text.begin + 1, close});
    return line;
  }
  std::size_t equals = s.find('=', text.begin);
  if (equals == std::string::npos || equals >= text.end) return line;
  line.name = trimmed(s, Span{text.begin, equals});
  if (line.name.begin == line.name.end) return line;
  line.kind = LineKind::Key;
  line.equals = equals;
  line.value = trimmed(s, Span{equals + 1, text.end});
  return line;
}

// Where a key sits in content, or where it would be added.
struct Place {
  bool section_found = false;
  std::size_t section_end = 0;  // after the last non-blank line of the first matching section
  bool key_found = false;
  Line key_line;
};

// Sections of one name count as one: the first occurrence of the key in any
// of them wins.
Place find_key(const std::string& content, const Text& section, const Text& key) {
  Place place;
  bool inside = false;
  bool inside_first = false;
  for (std::size_t at = 0; at < content.size();) {
    Line line = parse_line(content, at);
    at = line.next;
    if (line.kind == LineKind::Section) {
      inside = same_name(content, line.name, section);
      inside_first = inside && !place.section_found;
      if (inside_first) {
        place.section_found = true;
        place.section_end = line.next;
      }
      continue;
    }
    if (!inside) continue;
    if (line.kind == LineKind::Key && same_name(content, line.name, key)) {
      place.key_found = true;
      place.key_line = line;
      return place;
    }
    if (inside_first && trimmed(content, line.body).begin != line.body.end) place.section_end = line.next;
  }
  return place;
}

bool holds_any(const Text& text, const char* bytes, std::size_t count) {
  return text.find_first_of(bytes, 0, count) != Text::npos;
}

// A value with spaces at its ends, or one that is itself enclosed in quotes,
// is written in double quotes so that reading it back gives it unchanged.
Text encoded_value(const Text& value) {
  if (value.empty()) return value;
  char first = value.front();
  char last = value.back();
  bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
  if (is_blank(first) || is_blank(last) || quoted) return '"' + value + '"';
  return value;
}

Text line_break_of(const std::string& content) {
  std::size_t lf = content.find('\n');
  return lf != std::string::npos && lf > 0 && content[lf - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

bool ini_lookup(const std::string& content, const Text& section, const Text& key, Text& value) {
  Text section_name = trimmed(section);
  Text key_name = trimmed(key);
  if (section_name.empty() || key_name.empty()) return false;
  Place place = find_key(content, section_name, key_name);
  if (!place.key_found) return false;
  Span span = place.key_line.value;
  if (span.end - span.begin >= 2) {
    char first = content[span.begin];
    if ((first == '"' || first == '\'') && content[span.end - 1] == first) {
      ++span.begin;
      --span.end;
    }
  }
  value = content.substr(span.begin, std::min(span.end - span.begin, kMaxIniValue));
  return true;
}

bool ini_store(std::string& content, const Text& section, const Text& key, const Text& value) {
  static const char kBreaks[] = {'\r', '\n', '\0'};
  Text section_name = trimmed(section);
  Text key_name = trimmed(key);
  if (section_name.empty() || key_name.empty()) return false;
  if (holds_any(section_name, kBreaks, 3) || holds_any(key_name, kBreaks, 3) || holds_any(value, kBreaks, 3)) {
    return false;
  }
  if (section_name.find(']') != Text::npos || key_name.find('=') != Text::npos) return false;
  if (key_name.front() == '[' || key_name.front() == ';') return false;

  Text stored = encoded_value(value);
  Text eol = line_break_of(content);
  Place place = find_key(content, section_name, key_name);
  if (place.key_found) {
    std::size_t from = place.key_line.equals + 1;
    content.replace(from, place.key_line.body.end - from, stored);
    return true;
  }
  Text key_line = key_name + "=" + stored + eol;
  if (place.section_found) {
    std::size_t at = place.section_end;
    if (at == content.size() && !content.empty() && content.back() != '\n') key_line = eol + key_line;
    content.insert(at, key_line);
    return true;
  }
  if (!content.empty() && content.back() != '\n') content += eol;
  content += "[" + section_name + "]" + eol + key_line;
  return true;
}

}  // namespace tamsel
