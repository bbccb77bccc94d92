// The INI text engine: lookups with the profile functions' matching rules and
// changes that leave every other byte of the text where it was.
#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <random>

namespace tamsel {
namespace {

struct LookupCase {
  const char* content;
  const char* section;
  const char* key;
  bool found;
  const char* value;
};

TEST(IniLookup, MatchesNamesAndValuesAsTheProfileFunctionsDo) {
  const LookupCase cases[] = {
      {"[zip]\nzips=yes\n", "zip", "zips", true, "yes"},
      {"[Zip]\r\n  ZIPS  =  yes  \r\n", "zip", "zips", true, "yes"},
      {"[ zip ]\nzips=yes", " zip ", " zips", true, "yes"},
      {"[zip]\nzips=\n", "zip", "zips", true, ""},
      {"[zip]\nzips=first\nzips=second\n", "zip", "zips", true, "first"},
      {"[zip]\nzips=a\n[dir]\n[zip]\nzips=b\n", "zip", "zips", true, "a"},
      {"[zip]\n[dir]\n[ZIP]\nzips=b\n", "zip", "zips", true, "b"},
      {"[dir]\nRoute=\"  spaced  \"\n", "dir", "Route", true, "  spaced  "},
      {"[dir]\nRoute='x'\n", "dir", "Route", true, "x"},
      {"[dir]\nRoute=\"x\n", "dir", "Route", true, "\"x"},
      {"[dir]\nRoute=a=b\n", "dir", "Route", true, "a=b"},
      {"[dir]\nRoute=/备份/淺\n", "dir", "Route", true, "/备份/淺"},
      {"zips=yes\n[zip]\n", "zip", "zips", false, ""},
      {"[zip]\n[dir]\nzips=yes\n", "zip", "zips", false, ""},
      {"[zip]\n;zips=yes\n", "zip", "zips", false, ""},
      {"[zip\nzips=yes\n", "zip", "zips", false, ""},
      {"[zip]\nzips yes\n", "zip", "zips", false, ""},
      {"[zip]\nzipsx=yes\n", "zip", "zips", false, ""},
      {"", "zip", "zips", false, ""},
  };
  for (const LookupCase& c : cases) {
    Text value = "untouched";
    bool found = ini_lookup(c.content, c.section, c.key, value);
    EXPECT_EQ(found, c.found) << c.content;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.content;
    }
  }
}

TEST(IniLookup, CutsLongValuesLikeTheProfileBuffer) {
  Text value;
  ASSERT_TRUE(ini_lookup("[dir]\nRoute=" + std::string(20000, 'a') + "\n", "dir", "Route", value));
  EXPECT_EQ(value.size(), kMaxIniValue);
}

struct StoreCase {
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

TEST(IniStore, ChangesOneValueAndKeepsEverythingElse) {
  const StoreCase cases[] = {
      {"", "zip", "zips", "yes", "[zip]\nzips=yes\n"},
      {"; mine\n[other]\nx=1\n", "zip", "zips", "no", "; mine\n[other]\nx=1\n[zip]\nzips=no\n"},
      {"[zip]\nzips=no\n[dir]\nChoice=yes\n", "zip", "zips", "yes", "[zip]\nzips=yes\n[dir]\nChoice=yes\n"},
      {"[ZIP]\r\n Zips = no \r\n; c\r\n", "zip", "zips", "yes", "[ZIP]\r\n Zips =yes\r\n; c\r\n"},
      {"[dir]\nChoice=yes\n\n[zip]\nzips=no\n", "dir", "Route", "/x",
       "[dir]\nChoice=yes\nRoute=/x\n\n[zip]\nzips=no\n"},
      {"[dir]", "dir", "Route", "/x", "[dir]\nRoute=/x\n"},
      {"a=b", "zip", "zips", "yes", "a=b\n[zip]\nzips=yes\n"},
      {"[other]\r\nx=1\r\n", "zip", "zips", "yes", "[other]\r\nx=1\r\n[zip]\r\nzips=yes\r\n"},
      {"[zip]\nzips=1\nzips=2\n", "zip", "zips", "3", "[zip]\nzips=3\nzips=2\n"},
      {"[dir]\nRoute=old\n[dir]\n", "dir", "Choice", "no", "[dir]\nRoute=old\nChoice=no\n[dir]\n"},
      {"", "dir", "Route", " /a b ", "[dir]\nRoute=\" /a b \"\n"},
      {"", "dir", "Route", "\"q\"", "[dir]\nRoute=\"\"q\"\"\n"},
      {"[dir]\nRoute=x\n", "dir", "Route", "", "[dir]\nRoute=\n"},
  };
  for (const StoreCase& c : cases) {
    std::string content = c.before;
    ASSERT_TRUE(ini_store(content, c.section, c.key, c.value)) << c.before;
    EXPECT_EQ(content, c.after) << c.before;
  }
}

TEST(IniStore, RefusesWhatOneLineCannotHold) {
  const StoreCase cases[] = {
      {"[dir]\nRoute=old\n", "dir", "Route", "a\nb", nullptr},
      {"[dir]\nRoute=old\n", "dir", "Route", "a\rb", nullptr},
      {"[dir]\nRoute=old\n", "dir", "Route=x", "v", nullptr},
      {"[dir]\nRoute=old\n", "d]ir", "Route", "v", nullptr},
      {"[dir]\nRoute=old\n", "dir", "  ", "v", nullptr},
      {"[dir]\nRoute=old\n", "", "Route", "v", nullptr},
      {"[dir]\nRoute=old\n", "dir", "[Route", "v", nullptr},
  };
  for (const StoreCase& c : cases) {
    std::string content = c.before;
    EXPECT_FALSE(ini_store(content, c.section, c.key, c.value)) << c.section << " " << c.key << " " << c.value;
    EXPECT_EQ(content, c.before);
  }
}

TEST(IniStore, WhatIsStoredReadsBackUnchanged) {
  const char* values[] = {"", "yes", " lead", "trail ", "\"both\"", "'single'", "\"open", "a=b", ";semi",
                          "[bracket]", "/home/用户/备份 淺", "tab\tinside"};
  for (const char* value : values) {
    std::string content = "[dir]\nChoice=yes\n";
    ASSERT_TRUE(ini_store(content, "dir", "Route", value));
    Text read;
    ASSERT_TRUE(ini_lookup(content, "dir", "Route", read)) << value;
    EXPECT_EQ(read, value);
    ASSERT_TRUE(ini_lookup(content, "dir", "Choice", read));
    EXPECT_EQ(read, "yes");
  }
}

// Text of random bytes, biased towards the bytes that carry INI structure.
std::string random_text(std::mt19937& random, std::size_t size) {
  static const char structure[] = "[]=;\r\n \tzipdrZIP\"'";
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> pick(0, sizeof structure - 2);
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(byte(random) < 128 ? structure[pick(random)] : byte(random));
  return text;
}

// The change is one block: the original text with at most one line's value
// replaced, or lines added at a single place.
void expect_single_change(const std::string& before, const std::string& after, bool replaced) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  std::string removed = before.substr(prefix, before.size() - prefix - suffix);
  EXPECT_EQ(removed.find('\n'), std::string::npos);
  if (!replaced) {
    EXPECT_LE(removed.size(), 1u);  // a final CR may be followed by the added LF
  }
}

TEST(IniStore, RandomBytesStayReadableAndOtherKeysKeepTheirValues) {
  std::mt19937 random(20240105);
  for (int round = 0; round < 300; ++round) {
    std::string content = random_text(random, 64 + round * 13);
    if (round % 3 == 0) content = "[zip]\nzips=no\n" + content;
    Text other_before;
    Text old_value;
    bool had_other = ini_lookup(content, "dir", "Choice", other_before);
    bool had_key = ini_lookup(content, "zip", "zips", old_value);
    std::string original = content;

    ASSERT_TRUE(ini_store(content, "zip", "zips", "yes"));
    Text value;
    ASSERT_TRUE(ini_lookup(content, "zip", "zips", value)) << round;
    EXPECT_EQ(value, "yes") << round;
    Text other_after;
    EXPECT_EQ(ini_lookup(content, "dir", "Choice", other_after), had_other) << round;
    EXPECT_EQ(other_after, other_before) << round;
    expect_single_change(original, content, had_key);
  }
}

TEST(IniStore, TenMegabytesOfForeignLines) {
  std::string content;
  content.reserve(10 * 1024 * 1024 + 100);
  for (int i = 0; content.size() < 10 * 1024 * 1024; ++i) {
    content += "[s" + std::to_string(i) + "]\nkey=" + std::string(200, 'v') + "\n";
  }
  std::string original = content;
  ASSERT_TRUE(ini_store(content, "dir", "Route", "/x"));
  EXPECT_EQ(content, original + "[dir]\nRoute=/x\n");
  ASSERT_TRUE(ini_store(content, "s7", "key", "w"));
  Text value;
  ASSERT_TRUE(ini_lookup(content, "s7", "key", value));
  EXPECT_EQ(value, "w");
  ASSERT_TRUE(ini_lookup(content, "dir", "Route", value));
  EXPECT_EQ(value, "/x");
}

}  // namespace
}  // namespace tamsel
