#pragma once
// Shared checks of the archive tests.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "fixture.h"
#include "zip_reader.h"

namespace ziptest {

// prefix followed by the number (built step by step: GCC 12 at -O3 warns
// wrongly about "literal" + std::string).
inline std::string numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

inline std::vector<std::string> names_of(const Archive& a) {
  std::vector<std::string> out;
  for (const Member& m : a.members) out.push_back(m.central.name);
  return out;
}

inline const Member* find_member(const Archive& a, const std::string& name) {
  for (const Member& m : a.members) {
    if (m.central.name == name) return &m;
  }
  return nullptr;
}

inline std::uint32_t dos_of(std::time_t t) {
  std::tm tm = *std::localtime(&t);
  std::uint32_t date = static_cast<std::uint32_t>((tm.tm_year + 1900 - 1980) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  std::uint32_t time = static_cast<std::uint32_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
  return date << 16 | time;
}

// The Unix time of the local extra field: (modified, accessed, created).
struct UnixTimes {
  std::uint32_t modified = 0, accessed = 0, created = 0;
};

// Checks the fields that every member has, local header against central
// header, and returns its local times.
inline UnixTimes check_member(const Member& m) {
  const Header& c = m.central;
  const Header& l = m.local;
  SCOPED_TRACE(c.name);
  EXPECT_EQ(c.made_by, 0x0B17);
  EXPECT_EQ(l.needed, c.needed);
  EXPECT_EQ(c.needed, c.has_zip64 ? 45 : 20);
  EXPECT_EQ(l.flags, c.flags);
  EXPECT_EQ(l.method, c.method);
  EXPECT_EQ(l.dos_time, c.dos_time);
  EXPECT_EQ(l.dos_date, c.dos_date);
  EXPECT_EQ(l.crc, c.crc);
  EXPECT_EQ(l.compressed, c.compressed);
  EXPECT_EQ(l.uncompressed, c.uncompressed);
  EXPECT_EQ(l.name, c.name);
  EXPECT_EQ(c.comment_length, 0);
  EXPECT_EQ(c.disk, 0);
  EXPECT_EQ(c.internal, 0);
  EXPECT_EQ(c.flags & 0x0808, 0) << "no data descriptor, no language flag";
  if (c.method == 8) {
    EXPECT_EQ(c.flags, 0x0002);
  } else {
    EXPECT_EQ(c.method, 0);
    EXPECT_EQ(c.flags, 0);
    EXPECT_EQ(c.compressed, c.uncompressed);
  }
  EXPECT_TRUE(m.data_ok);
  EXPECT_EQ(m.content_crc, c.crc);
  EXPECT_EQ(m.content_size, c.uncompressed);
  UnixTimes t;
  int stamps = 0;
  for (auto& [tag, data] : extra_fields(l.extra)) {
    if (tag != 0x5455) continue;
    ++stamps;
    EXPECT_EQ(data.size(), 13u);
    if (data.size() != 13) continue;
    EXPECT_EQ(data[0], 0x07);
    t = {le32(&data[1]), le32(&data[5]), le32(&data[9])};
  }
  EXPECT_EQ(stamps, 1);
  if (!l.has_zip64) {
    EXPECT_EQ(l.extra.size(), 17u);
  }
  int central_stamps = 0;
  for (auto& [tag, data] : extra_fields(c.extra)) {
    if (tag != 0x5455) continue;
    ++central_stamps;
    EXPECT_EQ(data.size(), 5u);
    if (data.size() != 5) continue;
    EXPECT_EQ(data[0], 0x07);
    EXPECT_EQ(le32(&data[1]), t.modified);
  }
  EXPECT_EQ(central_stamps, 1);
  if (!c.has_zip64) {
    EXPECT_EQ(c.extra.size(), 9u);
  }
  if (c.name.back() == '/') {
    EXPECT_EQ(c.method, 0);
    EXPECT_EQ(c.compressed, 0u);
    EXPECT_EQ(c.crc, 0u);
    EXPECT_EQ(c.external, 0x41C00010u);
  }
  return t;
}

// Reads an archive and checks every member and the directory's totals.
inline Archive checked_archive(const std::string& path) {
  Archive a = read_zip(path);
  EXPECT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.count, a.members.size());
  for (const Member& m : a.members) check_member(m);
  return a;
}

}  // namespace ziptest
