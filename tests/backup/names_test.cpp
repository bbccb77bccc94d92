#include <gtest/gtest.h>

#include "backup/names.h"
#include "shell/shell.h"
#include "native_path.h"
#include "support/fs.h"

namespace tamsel {
namespace {

using test::native;

const LocalTime kJan5 = {2024, 1, 5, 9, 3, 7};
const char* const kTime = "2024年01月05日09时03分07秒";

TEST(PathPieces, ComeFromTheLastSeparatorAndTheLastDot) {
  struct Case {
    const char* path;
    const char* item;
    const char* stem;
    const char* extension;
  } cases[] = {
      {"D:\\docs\\report.txt", "report.txt", "report", "txt"},
      {"D:\\docs\\archive.tar.gz", "archive.tar.gz", "archive.tar", "gz"},
      {"D:\\docs\\.profile", ".profile", "", "profile"},
      {"C:\\boot.ini", "boot.ini", "boot", "ini"},
      {"D:\\docs\\site.old", "site.old", "site", "old"},
      // No dot in the file name: the whole name is the stem, no extension.
      {"D:\\docs\\README", "README", "README", ""},
      {"D:\\my.docs\\README", "README", "README", ""},
      {"D:\\docs\\report.", "report.", "report", ""},
  };
  for (const Case& c : cases) {
    Text p = native(c.path);
    EXPECT_EQ(item_name(p), c.item) << c.path;
    EXPECT_EQ(file_stem(p), c.stem) << c.path;
    EXPECT_EQ(file_extension(p), c.extension) << c.path;
  }
}

TEST(PathPieces, TrimTheCallersVariable) {
  Text p = native("D:\\docs\\report.txt  ");
  EXPECT_EQ(file_extension(p), "txt");
  EXPECT_EQ(p, native("D:\\docs\\report.txt"));

  Text tab = native("D:\\docs\\report.txt\t");
  EXPECT_EQ(file_extension(tab), "txt\t");
  EXPECT_EQ(tab, native("D:\\docs\\report.txt\t"));

#ifdef _WIN32
  Text full_width = "D:\\docs\\report.txt\xA1\xA1";
#else
  Text full_width = "/docs/report.txt\xE3\x80\x80";
#endif
  EXPECT_EQ(item_name(full_width), "report.txt");
  EXPECT_EQ(full_width, native("D:\\docs\\report.txt").substr(kSeparator == '\\' ? 0 : 2));
}

#ifdef _WIN32
TEST(PathPieces, DriveRootsAndDoubleByteNames) {
  Text root = "C:\\";
  EXPECT_EQ(item_name(root), "C:\\");
  // 淺水.md: the 0x5C of 淺 does not split the name.
  Text deep = "D:\\x\\\x9C\x5C\xCB\xAE.md";
  EXPECT_EQ(item_name(deep), "\x9C\x5C\xCB\xAE.md");
  EXPECT_EQ(file_stem(deep), "\x9C\x5C\xCB\xAE");
  EXPECT_EQ(file_extension(deep), "md");
}
#else
TEST(PathPieces, MultiByteUtf8Names) {
  struct Case {
    const char* path;
    const char* item;
    const char* stem;
    const char* extension;
  } cases[] = {
      {"/home/u/文.txt", "文.txt", "文", "txt"},
      {"/home/u/淺水.md", "淺水.md", "淺水", "md"},
      {"/home/u/😀.tar.gz", "😀.tar.gz", "😀.tar", "gz"},
      {"/home/u/x\\y.txt", "x\\y.txt", "x\\y", "txt"},  // a backslash is a plain character
  };
  for (const Case& c : cases) {
    Text p = c.path;
    EXPECT_EQ(item_name(p), c.item);
    EXPECT_EQ(file_stem(p), c.stem);
    EXPECT_EQ(file_extension(p), c.extension);
  }
  Text root = "/";
  EXPECT_EQ(item_name(root), "/");
}
#endif

TEST(TimeText, WritesEveryPartWithItsUnit) {
  EXPECT_EQ(time_text(kJan5), kTime);
  EXPECT_EQ(time_text({2023, 9, 30, 0, 0, 59}), "2023年09月30日00时00分59秒");
  EXPECT_EQ(time_text({2023, 10, 1, 23, 59, 0}), "2023年10月01日23时59分00秒");
  EXPECT_EQ(time_text({12024, 12, 31, 12, 5, 5}), "12024年12月31日12时05分05秒");
}

TEST(TimeText, ReadsTheInstalledClock) {
  ClockSource old = set_clock_source([] { return kJan5; });
  EXPECT_EQ(time_text(), kTime);
  set_clock_source(old);
  const LocalTime now = local_now();
  EXPECT_GE(now.year, 2024);
}

TEST(CustomBase, AppendsTheBaseFolderName) {
  EXPECT_EQ(custom_base(native("E:\\store")), native("E:\\store\\allvorinbak\\"));
  EXPECT_EQ(custom_base(native("E:\\")), native("E:\\\\allvorinbak\\"));
#ifdef _WIN32
  EXPECT_EQ(custom_base(""), "\\allvorinbak\\");
#else
  const Text base = custom_base("");
  ASSERT_GT(base.size(), Text("/allvorinbak/").size());
  EXPECT_EQ(base.front(), '/');
  EXPECT_EQ(base.substr(base.size() - 13), "/allvorinbak/");
#endif
}

// The worked examples, on real files and folders (is_folder decides).
class BackupNames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp.path().empty());
    ASSERT_TRUE(test::make_folder(docs));
    ASSERT_TRUE(test::write_file(docs + kSeparator + "report.txt", "r"));
    ASSERT_TRUE(test::make_folder(docs + kSeparator + "photos"));
    ASSERT_TRUE(test::make_folder(docs + kSeparator + "site.old"));
    ASSERT_TRUE(test::write_file(docs + kSeparator + ".profile", "p"));
    ASSERT_TRUE(test::write_file(docs + kSeparator + "README", "m"));
  }
  Text target(const Text& name, Location location, Compression compression) {
    Text item = docs + kSeparator + name;
    const bool folder = is_folder(item);
    const Text base = custom_base(store);
    const Text bf = backup_folder(item, folder, location, base);
    return bf + kSeparator + backup_name(item, folder, compression, kTime);
  }
  test::TempFolder tmp;
  Text docs = tmp / "docs";
  Text store = tmp / "store";
};

TEST_F(BackupNames, FollowTheDecisionTable) {
  const Text d = docs + kSeparator;
  const Text s = store + kSeparator + "allvorinbak" + kSeparator;
  const Text t = kTime;
  const char sep = kSeparator;
  struct Case {
    const char* item;
    Location location;
    Compression compression;
    Text expected;
  } cases[] = {
      {"report.txt", Location::Default, Compression::PlainCopy, d + "reportbak" + sep + "report" + t + ".txt"},
      {"report.txt", Location::Default, Compression::Archive, d + "reportbak" + sep + "report" + t + ".zip"},
      {"photos", Location::Default, Compression::PlainCopy, d + "photosbak" + sep + "photos" + t},
      {"photos", Location::Default, Compression::Archive, d + "photosbak" + sep + "photos" + t + ".zip"},
      {"report.txt", Location::Custom, Compression::PlainCopy, s + "reportbak" + sep + "report" + t + ".txt"},
      {"report.txt", Location::Custom, Compression::Archive, s + "reportbak" + sep + "report" + t + ".zip"},
      {"photos", Location::Custom, Compression::PlainCopy, s + "photosbak" + sep + "photos" + t},
      {"photos", Location::Custom, Compression::Archive, s + "photosbak" + sep + "photos" + t + ".zip"},
      // Dots play no part in folder names; a dot-file keeps its empty stem.
      {"site.old", Location::Default, Compression::PlainCopy, d + "site.oldbak" + sep + "site.old" + t},
      {".profile", Location::Default, Compression::PlainCopy, d + "bak" + sep + t + ".profile"},
      // A file without a dot: stem and TimeText, nothing after.
      {"README", Location::Default, Compression::PlainCopy, d + "READMEbak" + sep + "README" + t},
      {"README", Location::Default, Compression::Archive, d + "READMEbak" + sep + "README" + t + ".zip"},
  };
  for (const Case& c : cases) EXPECT_EQ(target(c.item, c.location, c.compression), c.expected) << c.item;
}

TEST_F(BackupNames, FolderPartsDependOnTheKind) {
  const Text report = docs + kSeparator + "report.txt";
  const Text photos = docs + kSeparator + "photos";
  EXPECT_EQ(folder_with_separator(report), docs + kSeparator);
  EXPECT_EQ(folder_with_separator(photos), photos);
  EXPECT_EQ(folder_without_separator(photos), docs);
  EXPECT_EQ(folder_without_separator(report), report);
}

TEST_F(BackupNames, TheFolderPartSeesTheItemUntrimmed) {
  // A dropped folder whose name ends in a space (Windows drops the space when
  // it resolves the path, so there the plain folder serves).
  const Text spaced = docs + kSeparator + "photos ";
  if (kSeparator == '/') {
    ASSERT_TRUE(test::make_folder(spaced));
  }
  Text item = spaced;
  EXPECT_EQ(backup_folder(item, true, Location::Default, ""), docs + kSeparator + "photosbak");
  EXPECT_EQ(item, docs + kSeparator + "photos");
}

TEST_F(BackupNames, EnsureFolderCreatesOneLevelOnly) {
  const Text one = tmp / "one";
  ensure_folder(one);
  EXPECT_TRUE(test::is_dir(one));
  ensure_folder(one);  // already there: nothing happens
  EXPECT_TRUE(test::is_dir(one));
  const Text deep = tmp / "a" + kSeparator + "b";
  ensure_folder(deep);
  EXPECT_FALSE(test::exists(tmp / "a"));
  EXPECT_FALSE(test::exists(deep));
}

}  // namespace
}  // namespace tamsel
