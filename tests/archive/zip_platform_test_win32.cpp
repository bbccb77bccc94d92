// Windows behaviour of the archive writer: files held open by another
// program, DOS attributes, and names in the ANSI code page.
#include <windows.h>

#include "archive/zip_compress.h"
#include "zip_test_support.h"

using namespace ziptest;
using tamsel::zip_compress;

namespace {

// Holds a file open for writing without read sharing, as an editor might.
class Held {
 public:
  explicit Held(const std::string& path)
      : h_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~Held() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

TEST(ZipWin32, LockedFileInFolderGivesZeroAndKeepsEarlierEntries) {
  TempFolder tmp;
  const std::string root = tmp / "docs";
  make_folder(root);
  for (int i = 0; i < 4; ++i) write_file(joined(root, numbered("f", i)), "readable");
  write_file(joined(root, "locked.txt"), "in use");
  Held held(joined(root, "locked.txt"));
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(zip_compress(root, tmp / "out.zip"), 0);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(find_member(a, "locked.txt"), nullptr);
  for (const Member& m : a.members) EXPECT_EQ(m.content, "readable");
}

TEST(ZipWin32, LockedSingleFileLeavesNoArchive) {
  TempFolder tmp;
  write_file(tmp / "locked.txt", "in use");
  Held held(tmp / "locked.txt");
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(zip_compress(tmp / "locked.txt", tmp / "out.zip"), 0);
  EXPECT_FALSE(exists(tmp / "out.zip"));
}

TEST(ZipWin32, ArchiveInUseIsLeftAsItWas) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  write_file(tmp / "old.zip", "old content");
  {
    Held held(tmp / "old.zip");
    ASSERT_TRUE(held.ok());
    EXPECT_EQ(zip_compress(tmp / "a.txt", tmp / "old.zip"), 0);
  }
  EXPECT_EQ(read_file(tmp / "old.zip"), "old content");
}

TEST(ZipWin32, DeviceAsArchivePathIsRefused) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  EXPECT_EQ(zip_compress(tmp / "a.txt", "NUL"), 0);
}

TEST(ZipWin32, DosAttributesOfFilesFolderEntriesFixed) {
  TempFolder tmp;
  const std::string root = tmp / "attrs";
  make_folder(root);
  write_file(joined(root, "hidden.txt"), "h");
  SetFileAttributesA(joined(root, "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  write_file(joined(root, "system.txt"), "s");
  SetFileAttributesA(joined(root, "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  make_folder(joined(root, "hidden-folder"));
  SetFileAttributesA(joined(root, "hidden-folder").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  ASSERT_EQ(a.members.size(), 3u);
  EXPECT_EQ(find_member(a, "hidden.txt")->central.external, 0x81800022u);
  EXPECT_EQ(find_member(a, "system.txt")->central.external, 0x81800024u);
  EXPECT_EQ(find_member(a, "hidden-folder/")->central.external, 0x41C00010u);
}

TEST(ZipWin32, BackslashesBecomeSlashesButNotInsideTwoByteCharacters) {
  ASSERT_EQ(GetACP(), 936u);
  TempFolder tmp;
  const std::string root = tmp / "names";
  make_folder(root);
  // 0x81 0x5C is one character of code page 936 whose second byte is the
  // backslash byte.
  const std::string odd = "\x81\x5C";
  make_folder(joined(root, odd));
  write_file(joined(joined(root, odd), odd + ".txt"), "odd");
  make_folder(joined(root, "sub"));
  make_folder(joined(joined(root, "sub"), "deeper"));
  write_file(joined(joined(joined(root, "sub"), "deeper"), "c.txt"), "c");
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  std::vector<std::string> names = names_of(a);
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {odd + "/", odd + "/" + odd + ".txt", "sub/", "sub/deeper/",
                                       "sub/deeper/c.txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  ASSERT_EQ(zip_compress(joined(joined(root, odd), odd + ".txt"), tmp / "single.zip"), 1);
  EXPECT_EQ(names_of(checked_archive(tmp / "single.zip")), std::vector<std::string>{odd + ".txt"});
}

TEST(ZipWin32, NameOutsideTheCodePageFailsInsteadOfBeingLeftOut) {
  TempFolder tmp;
  const std::string root = tmp / "thai";
  make_folder(root);
  write_file(joined(root, "a.txt"), "a");
  // U+0E01 has no code page 936 form: the ANSI listing shows it as "?".
  std::wstring wide;
  for (char c : root) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  wide += L"\\\u0E01.txt";
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(zip_compress(root, tmp / "out.zip"), 0);
  Archive a = checked_archive(tmp / "out.zip");
  for (const Member& m : a.members) EXPECT_EQ(m.central.name, "a.txt");
}

TEST(ZipWin32, TimesFollowTheFilesOwnInstant) {
  TempFolder tmp;
  write_file(tmp / "t.txt", "t");
  const std::int64_t instant = 1721038830;  // 2024-07-15 10:20:30 UTC
  set_modified(tmp / "t.txt", instant);
  ASSERT_EQ(zip_compress(tmp / "t.txt", tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  ASSERT_EQ(a.members.size(), 1u);
  const Member& m = a.members[0];
  EXPECT_EQ(std::uint32_t(m.central.dos_date) << 16 | m.central.dos_time, dos_of(instant));
  EXPECT_EQ(check_member(m).modified, std::uint32_t(instant));
}

}  // namespace
