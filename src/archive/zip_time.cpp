#include "archive/zip_time.h"

#include <ctime>

namespace tamsel {

std::uint32_t dos_stamp(const LocalTime& t) {
  LocalTime s = t;
  if (s.year < 1980) s = {1980, 1, 1, 0, 0, 0};
  if (s.year > 2107) s = {2107, 12, 31, 23, 59, 58};
  const std::uint32_t date = static_cast<std::uint32_t>((s.year - 1980) << 9 | s.month << 5 | s.day);
  const std::uint32_t time = static_cast<std::uint32_t>(s.hour << 11 | s.minute << 5 | s.second / 2);
  return date << 16 | time;
}

std::uint32_t unix_stamp(const FileMoment& m) {
  if (m.local.year >= 1970 && m.local.year <= 2037) return static_cast<std::uint32_t>(m.instant);
  std::tm tm{};
  const bool early = m.local.year < 1970;
  tm.tm_year = (early ? 1970 : 2037) - 1900;
  tm.tm_mon = early ? 0 : 11;
  tm.tm_mday = early ? 1 : 31;
  tm.tm_hour = m.local.hour;
  tm.tm_min = m.local.minute;
  tm.tm_sec = m.local.second;
  tm.tm_isdst = -1;
  return static_cast<std::uint32_t>(std::mktime(&tm));
}

}  // namespace tamsel
