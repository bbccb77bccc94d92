#include <windows.h>

#include "settings/profile.h"

namespace tamsel {

Text profile_read(const Text& file, const Text& section, const Text& key, const Text& default_value) {
  char buffer[10240];
  buffer[0] = '\0';
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(),
                                     default_value.empty() ? nullptr : default_value.c_str(), buffer,
                                     sizeof buffer, file.c_str());
  return Text(buffer, n);
}

void profile_write(const Text& file, const Text& section, const Text& key, const Text& value) {
  WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

}  // namespace tamsel
