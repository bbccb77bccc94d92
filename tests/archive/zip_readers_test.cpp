// Archives of a fixture tree, accepted by Debian's independent ZIP readers.
#include <sys/stat.h>
#include <unistd.h>

#include "archive/zip_compress.h"
#include "readers.h"
#include "zip_test_support.h"

using namespace ziptest;
using tamsel::zip_compress;

namespace {

std::string pattern(std::size_t n, std::uint32_t seed, bool compressible) {
  std::string s(n, '\0');
  std::uint32_t x = seed | 1;
  for (std::size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s[i] = compressible ? "abcdefgh \n"[x % 10] : static_cast<char>(x);
  }
  return s;
}

// Nested and empty folders, empty and incompressible files, stored suffixes
// in any case, hidden and read-only files, multi-byte names, sizes around
// the writer's buffer boundaries.
void build_fixture(const std::string& root) {
  make_folder(root);
  write_file(root + "/readme.txt", pattern(5000, 1, true));
  write_file(root + "/empty.txt", "");
  write_file(root + "/noise.bin", pattern(300000, 2, false));
  write_file(root + "/exact16k.dat", pattern(16384, 3, false));
  write_file(root + "/over16k.dat", pattern(16385, 4, false));
  write_file(root + "/big.txt", pattern(700000, 5, true));
  write_file(root + "/packed.ZIP", pattern(20000, 6, false));
  write_file(root + "/archive.Tar.Gz", pattern(1000, 7, true));
  write_file(root + "/.hidden", "dot file");
  write_file(root + "/locked.txt", "read only");
  chmod((root + "/locked.txt").c_str(), 0444);
  make_folder(root + "/报告");
  write_file(root + "/报告/年度总结.txt", pattern(3000, 8, true));
  make_folder(root + "/nested");
  make_folder(root + "/nested/deeper");
  make_folder(root + "/nested/deeper/deepest");
  write_file(root + "/nested/deeper/deepest/leaf.c", pattern(2000, 9, true));
  write_file(root + "/nested/a.z", "stored");
  make_folder(root + "/nested/empty");
  make_folder(root + "/empty-folder");
  make_folder(root + "/lib.old");
  write_file(root + "/lib.old/readme", pattern(100, 10, true));
}

void expect_readers_accept(const std::string& archive, const std::string& root) {
  EXPECT_EQ(unzip_problem(archive), "");
  EXPECT_EQ(sevenzip_problem(archive), "");
  EXPECT_EQ(bsdtar_problem(archive), "");
  EXPECT_EQ(python_problem(archive, root), "");
}

TEST(ZipReaders, AcceptTheFolderArchiveOfTheFixtureTree) {
  TempFolder tmp;
  const std::string root = tmp / "fixture";
  build_fixture(root);
  ASSERT_EQ(zip_compress(root, tmp / "tree.zip"), 1);
  Archive a = checked_archive(tmp / "tree.zip");
  EXPECT_EQ(a.members.size(), 21u);
  expect_readers_accept(tmp / "tree.zip", root);
}

TEST(ZipReaders, AcceptEverySingleFileArchiveAndTheEmptyArchive) {
  TempFolder tmp;
  const std::string root = tmp / "fixture";
  build_fixture(root);
  for (const char* name : {"readme.txt", "empty.txt", "noise.bin", "packed.ZIP", ".hidden", "locked.txt",
                           "报告/年度总结.txt"}) {
    SCOPED_TRACE(name);
    const std::string archive = tmp / "single.zip";
    ASSERT_EQ(zip_compress(root + "/" + name, archive), 1);
    EXPECT_EQ(checked_archive(archive).members.size(), 1u);
    EXPECT_EQ(unzip_problem(archive), "");
    EXPECT_EQ(sevenzip_problem(archive), "");
    EXPECT_EQ(bsdtar_problem(archive), "");
    std::string name_folder = root + "/" + name;
    EXPECT_EQ(python_problem(archive, name_folder.substr(0, name_folder.rfind('/'))), "");
  }
  ASSERT_EQ(zip_compress(root + "/empty-folder", tmp / "empty.zip"), 1);
  // unzip reports an empty archive with a warning; the others must accept it.
  EXPECT_EQ(sevenzip_problem(tmp / "empty.zip"), "");
  EXPECT_EQ(bsdtar_problem(tmp / "empty.zip"), "");
  EXPECT_EQ(python_problem(tmp / "empty.zip", ""), "");
}

TEST(ZipReaders, AcceptAnArchiveMadeByTheCommandLineTool) {
  TempFolder tmp;
  const std::string root = tmp / "fixture";
  build_fixture(root);
  const char* dir = std::getenv("TAMSEL_ZIP_TOOL");
  ASSERT_NE(dir, nullptr);
  Ran r = run_program({dir, "--progress", root, tmp / "tool.zip"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output.substr(r.output.size() - 7), "\n100\n1\n") << r.output;
  expect_readers_accept(tmp / "tool.zip", root);
  EXPECT_EQ(run_program({dir, tmp / "missing", tmp / "x.zip"}).output, "-1\n");
  EXPECT_EQ(run_program({dir, tmp / "missing", tmp / "x.zip"}).status, 2);
  Ran failed = run_program({dir, root, tmp / "no/such/x.zip"});
  EXPECT_EQ(failed.output, "0\n");
  EXPECT_EQ(failed.status, 1);
}

}  // namespace
