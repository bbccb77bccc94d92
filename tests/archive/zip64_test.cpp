// Archives beyond the classic limits of the format: a member over 4 GiB and
// more than 65535 entries, written with the ZIP64 records.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/zip_compress.h"
#include "readers.h"
#include "zip_test_support.h"

using namespace ziptest;
using tamsel::zip_compress;

namespace {

void expect_readers_accept(const std::string& archive, const std::string& root) {
  EXPECT_EQ(unzip_problem(archive), "");
  EXPECT_EQ(sevenzip_problem(archive), "");
  EXPECT_EQ(bsdtar_problem(archive), "");
  EXPECT_EQ(python_problem(archive, root), "");
}

constexpr std::uint64_t kBigSize = (4ULL << 30) + (64ULL << 20);

// A sparse file just over 4 GiB with a little data in the middle and at its end.
void make_sparse(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "MIDDLE", 6, 2147483648LL), 6);
  ASSERT_EQ(pwrite(fd, "END", 3, static_cast<off_t>(kBigSize)), 3);
  close(fd);
}

// The members of several GiB take a few minutes with every reader: they are
// run by the benchmark (scripts/bench), not by make test.
TEST(Zip64, DISABLED_MemberOfMoreThan4GiBCarriesZip64Sizes) {
  TempFolder tmp;
  const std::string root = tmp / "big";
  make_folder(root);
  const std::uint64_t size = kBigSize;
  make_sparse(root + "/sparse.bin");
  write_file(root + "/small.txt", "small");
  ASSERT_EQ(zip_compress(root, tmp / "big.zip"), 1);

  Archive a = checked_archive(tmp / "big.zip");
  ASSERT_EQ(a.members.size(), 2u);
  const Member* big = find_member(a, "sparse.bin");
  ASSERT_NE(big, nullptr);
  EXPECT_TRUE(big->local.has_zip64);
  EXPECT_TRUE(big->central.has_zip64);
  EXPECT_EQ(big->local.uncompressed32, 0xFFFFFFFFu);
  EXPECT_EQ(big->local.compressed32, 0xFFFFFFFFu);
  EXPECT_EQ(big->central.uncompressed, size + 3);
  EXPECT_EQ(big->content_size, size + 3);
  EXPECT_EQ(big->local.extra.size(), 20u + 17u);
  EXPECT_EQ(big->central.extra.size(), 20u + 9u);
  // The small member and the end record keep the classic layout.
  const Member* small = find_member(a, "small.txt");
  ASSERT_NE(small, nullptr);
  EXPECT_FALSE(small->central.has_zip64);
  EXPECT_EQ(small->central.needed, 20);
  EXPECT_FALSE(a.zip64);
  expect_readers_accept(tmp / "big.zip", root);
}

TEST(Zip64, DISABLED_EntriesBeyond4GiBCarryZip64Offsets) {
  TempFolder tmp;
  const std::string root = tmp / "stored";
  make_folder(root);
  make_sparse(root + "/big.gz");  // stored: the archive itself grows past 4 GiB
  make_folder(root + "/z");
  write_file(root + "/z/after.txt", "after the big one");
  ASSERT_EQ(zip_compress(root, tmp / "stored.zip"), 1);

  Archive a = checked_archive(tmp / "stored.zip");
  ASSERT_EQ(a.members.size(), 3u);
  const Member* big = find_member(a, "big.gz");
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->central.method, 0);
  EXPECT_TRUE(big->local.has_zip64);
  EXPECT_EQ(big->central.compressed, kBigSize + 3);
  for (const char* name : {"z/", "z/after.txt"}) {
    const Member* m = find_member(a, name);
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->central.has_zip64) << name;
    EXPECT_GT(m->central.offset, 0xFFFFFFFFull) << name;
    EXPECT_FALSE(m->local.has_zip64) << name;
  }
  EXPECT_EQ(find_member(a, "z/after.txt")->content, "after the big one");
  EXPECT_TRUE(a.zip64);
  EXPECT_EQ(a.end_offset, 0xFFFFFFFFu);
  EXPECT_EQ(a.end_count, 3);
  expect_readers_accept(tmp / "stored.zip", root);
}

TEST(Zip64, MoreThan65535EntriesGetTheZip64EndRecord) {
  TempFolder tmp;
  const std::string root = tmp / "many";
  make_folder(root);
  std::size_t expected = 0;
  for (int d = 0; d < 351; ++d) {
    const std::string folder = root + "/d" + std::to_string(d);
    make_folder(folder);
    ++expected;
    for (int f = 0; f < 200; ++f) {
      int fd = open((folder + "/f" + std::to_string(f)).c_str(), O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(fd, 0);
      if (f % 50 == 0) {
        ASSERT_EQ(write(fd, "data", 4), 4);
      }
      close(fd);
      ++expected;
    }
  }
  ASSERT_GT(expected, 65535u);
  ASSERT_EQ(zip_compress(root, tmp / "many.zip"), 1);
  Archive a = checked_archive(tmp / "many.zip");
  EXPECT_TRUE(a.zip64);
  EXPECT_EQ(a.count, expected);
  EXPECT_EQ(a.end_count, 0xFFFF);
  EXPECT_EQ(a.end_count_disk, 0xFFFF);
  EXPECT_EQ(a.end_offset, a.directory_offset);  // the offsets themselves still fit
  EXPECT_EQ(a.members.size(), expected);
  expect_readers_accept(tmp / "many.zip", root);
}

}  // namespace
