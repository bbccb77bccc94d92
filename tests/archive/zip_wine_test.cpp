// The Windows build's tamsel-zip.exe, run under Wine on a fixture tree in
// Linux folders, judged by Debian's readers.
#include <unistd.h>

#include <cstdlib>

#include "readers.h"
#include "zip_test_support.h"

using namespace ziptest;

namespace {

// The Wine path of a Linux path (drive Z: is the Linux root).
std::string wine_path(const std::string& path) {
  std::string out = "Z:";
  for (char c : path) out += c == '/' ? '\\' : c;
  return out;
}

TEST(ZipWine, WindowsToolWritesArchivesTheReadersAccept) {
  const char* exe = std::getenv("TAMSEL_WINDOWS_ZIP");
  const char* wine_run = std::getenv("TAMSEL_WINE_RUN");
  ASSERT_TRUE(exe && wine_run);
  if (access(exe, X_OK) != 0) GTEST_SKIP() << "the Windows build is not there yet: " << exe;

  TempFolder tmp;
  const std::string root = tmp / "fixture";
  make_folder(root);
  write_file(root + "/readme.txt", std::string(20000, 'r'));
  write_file(root + "/empty.txt", "");
  write_file(root + "/packed.GZ", "stored as it is");
  make_folder(root + "/报告");
  write_file(root + "/报告/年度总结.txt", "multi-byte name");
  make_folder(root + "/nested");
  make_folder(root + "/nested/deeper");
  write_file(root + "/nested/deeper/leaf.c", "int main() { return 0; }\n");
  make_folder(root + "/nested/empty");

  Ran r = run_program({wine_run, exe, "--progress", wine_path(root), wine_path(tmp / "win.zip")});
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("100\r\n1\r\n"), std::string::npos) << r.output;

  Archive a = checked_archive(tmp / "win.zip");
  EXPECT_EQ(a.members.size(), 9u);
  // Names in code page 936, folders with "/".
  EXPECT_NE(find_member(a, "\xB1\xA8\xB8\xE6/\xC4\xEA\xB6\xC8\xD7\xDC\xBD\xE1.txt"), nullptr);
  EXPECT_NE(find_member(a, "nested/deeper/leaf.c"), nullptr);
  EXPECT_EQ(find_member(a, "packed.GZ")->central.method, 0);
  EXPECT_EQ(unzip_problem(tmp / "win.zip"), "");
  EXPECT_EQ(sevenzip_problem(tmp / "win.zip"), "");
  EXPECT_EQ(bsdtar_problem(tmp / "win.zip"), "");
  EXPECT_EQ(python_problem(tmp / "win.zip", root, "gbk"), "");
}

}  // namespace
