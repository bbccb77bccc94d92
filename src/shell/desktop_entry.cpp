#include "shell/desktop_entry.h"

namespace tamsel {

Text exec_quoted(const Text& target) {
  // Inside double quotes, ", `, $ and \ take a backslash; % is doubled
  // because Exec gives it a meaning of its own.
  Text quoted = "\"";
  for (char c : target) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  // The value is then a string of the desktop entry: backslashes and
  // control characters are escaped once more.
  Text value;
  for (char c : quoted) {
    switch (c) {
      case '\\': value += "\\\\"; break;
      case '\n': value += "\\n"; break;
      case '\t': value += "\\t"; break;
      case '\r': value += "\\r"; break;
      default: value += c;
    }
  }
  return value;
}

Text desktop_entry_for(const Text& target) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=Tamsel\n"
         "Comment=文件备份\n"
         "Icon=tamsel\n"
         "Terminal=false\n"
         "Exec=" + exec_quoted(target) + "\n";
}

}  // namespace tamsel
