// The archives zip_compress writes, read back field by field with the test
// reader, on real files in a temporary folder.
#include <algorithm>
#include <ctime>
#include <map>
#include <set>

#include "archive/zip_compress.h"
#include "zip_test_support.h"

using namespace ziptest;
using tamsel::zip_compress;

namespace {

constexpr std::int64_t kSummer2024 = 1721038830;  // 2024-07-15 10:20:30 UTC

std::string text_of(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; s.size() < n; ++i) s += "line " + std::to_string(i * 7 % 1000) + " of the report\n";
  s.resize(n);
  return s;
}

std::string noise_of(std::size_t n) {
  std::string s(n, '\0');
  std::uint32_t x = 2463534242u;
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

TEST(ZipLayout, SingleFileHoldsOneDeflatedEntryWithItsFileName) {
  TempFolder tmp;
  const std::string body = text_of(50000);
  write_file(tmp / "report.txt", body);
  set_modified(tmp / "report.txt", kSummer2024);
  ASSERT_EQ(zip_compress(tmp / "report.txt", tmp / "out.zip"), 1);

  Archive a = checked_archive(tmp / "out.zip");
  ASSERT_EQ(a.members.size(), 1u);
  const Member& m = a.members[0];
  EXPECT_EQ(m.central.name, "report.txt");
  EXPECT_EQ(m.central.method, 8);
  EXPECT_EQ(m.central.flags, 0x0002);
  EXPECT_EQ(m.central.external, 0x81800020u);
  EXPECT_EQ(m.central.offset, 0u);
  EXPECT_EQ(m.data_offset, 47u + 10u);
  EXPECT_EQ(m.content, body);
  EXPECT_EQ(m.central.uncompressed, body.size());
  EXPECT_LT(m.central.compressed, body.size() / 4);
  EXPECT_EQ(std::uint32_t(m.central.dos_date) << 16 | m.central.dos_time, dos_of(kSummer2024));
  EXPECT_EQ(check_member(m).modified, std::uint32_t(kSummer2024));
  // Nothing but the entry, its central header and the end record.
  EXPECT_EQ(a.directory_offset, 47u + 10u + m.central.compressed);
  EXPECT_EQ(a.file_size, a.directory_offset + 46 + 10 + 9 + 22);
  EXPECT_EQ(a.end_count, 1);
  EXPECT_EQ(a.end_count_disk, 1);
  EXPECT_FALSE(a.zip64);
}

TEST(ZipLayout, EmptyFileIsDeflatedToTwoBytes) {
  TempFolder tmp;
  write_file(tmp / "empty.txt", "");
  ASSERT_EQ(zip_compress(tmp / "empty.txt", tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  ASSERT_EQ(a.members.size(), 1u);
  const Member& m = a.members[0];
  EXPECT_EQ(m.central.method, 8);
  EXPECT_EQ(m.central.flags, 0x0002);
  EXPECT_EQ(m.central.compressed, 2u);
  EXPECT_EQ(m.central.uncompressed, 0u);
  EXPECT_EQ(m.central.crc, 0u);
  EXPECT_EQ(m.raw, (Bytes{0x03, 0x00}));
}

TEST(ZipLayout, StoredSuffixesInAnyCaseAreStoredOthersDeflated) {
  TempFolder tmp;
  const std::string root = tmp / "proj";
  make_folder(root);
  make_folder(joined(root, "lib.old"));
  const std::map<std::string, int> methods = {
      {"photo.ZIP", 0}, {"data.tar.gz", 0}, {"a.z", 0},     {"b.Gz", 0},      {"c.tgz", 0},
      {"d.arc", 0},     {"e.LZH", 0},       {"f.arj", 0},   {"g.zoo", 0},     {"h.Z", 0},
      {"noext", 8},     {"x.gzip", 8},      {"y.zipx", 8},  {"z.tar", 8},     {"gz", 8},
      {"lib.old/readme", 8}, {"noise.bin", 8}};
  for (auto& [name, method] : methods) {
    std::string path = root + kSep;
    for (char c : name) path += c == '/' ? kSep : c;
    write_file(path, name == "noise.bin" ? noise_of(40000) : text_of(3000));
  }
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  for (auto& [name, method] : methods) {
    const Member* m = find_member(a, name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m->central.method, method) << name;
    EXPECT_EQ(m->content, name == "noise.bin" ? noise_of(40000) : text_of(3000)) << name;
  }
  // Incompressible data is still deflated (and grows a little).
  EXPECT_GE(find_member(a, "noise.bin")->central.compressed, 40000u);

  ASSERT_EQ(zip_compress(joined(root, "photo.ZIP"), tmp / "single.zip"), 1);
  Archive s = checked_archive(tmp / "single.zip");
  ASSERT_EQ(s.members.size(), 1u);
  EXPECT_EQ(s.members[0].central.method, 0);
  EXPECT_EQ(s.members[0].central.flags, 0);
  EXPECT_EQ(s.members[0].content, text_of(3000));
}

TEST(ZipLayout, EmptyFolderGivesTheBareEndRecord) {
  TempFolder tmp;
  make_folder(tmp / "empty");
  ASSERT_EQ(zip_compress(tmp / "empty", tmp / "out.zip"), 1);
  const std::string bytes = read_file(tmp / "out.zip");
  EXPECT_EQ(bytes, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST(ZipLayout, FolderEntriesAndRelativeNames) {
  TempFolder tmp;
  const std::string root = tmp / "proj";
  make_folder(root);
  write_file(joined(root, "a.txt"), "alpha");
  make_folder(joined(root, "empty"));
  std::time_t before = std::time(nullptr);
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  std::time_t after = std::time(nullptr);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(names_of(a), (std::vector<std::string>{"a.txt", "empty/"}));
  const Member* f = find_member(a, "empty/");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->central.uncompressed, 0u);
  EXPECT_EQ(f->central.flags, 0);
  UnixTimes t = check_member(*f);
  EXPECT_GE(t.modified, std::uint32_t(before));
  EXPECT_LE(t.modified, std::uint32_t(after));
  EXPECT_EQ(t.accessed, t.modified);
  EXPECT_EQ(t.created, t.modified);
  std::uint32_t stamp = std::uint32_t(f->central.dos_date) << 16 | f->central.dos_time;
  EXPECT_TRUE(stamp >= dos_of(before) - 1 && stamp <= dos_of(after) + 1) << std::hex << stamp;
}

// Within each folder the files come first, then each subfolder's entry
// directly followed by everything below it.
void expect_depth_first(const std::vector<std::string>& names, std::size_t& at, const std::string& prefix,
                        const std::map<std::string, std::set<std::string>>& files,
                        const std::map<std::string, std::set<std::string>>& folders) {
  std::set<std::string> seen;
  auto fit = files.find(prefix);
  std::size_t nfiles = fit == files.end() ? 0 : fit->second.size();
  for (std::size_t i = 0; i < nfiles; ++i, ++at) {
    ASSERT_LT(at, names.size());
    ASSERT_EQ(names[at].compare(0, prefix.size(), prefix), 0) << names[at];
    std::string rest = names[at].substr(prefix.size());
    ASSERT_TRUE(fit->second.count(rest)) << names[at] << " is not a file of '" << prefix << "'";
    seen.insert(rest);
  }
  EXPECT_EQ(seen.size(), nfiles);
  auto dit = folders.find(prefix);
  std::size_t nfolders = dit == folders.end() ? 0 : dit->second.size();
  for (std::size_t i = 0; i < nfolders; ++i) {
    ASSERT_LT(at, names.size());
    std::string rest = names[at].substr(prefix.size());
    ASSERT_TRUE(names[at].compare(0, prefix.size(), prefix) == 0 && dit->second.count(rest))
        << names[at] << " is not a subfolder entry of '" << prefix << "'";
    ++at;
    expect_depth_first(names, at, prefix + rest, files, folders);
  }
}

TEST(ZipLayout, EntryOrderIsFilesFirstThenEachSubfolderDepthFirst) {
  TempFolder tmp;
  const std::string root = tmp / "tree";
  make_folder(root);
  std::map<std::string, std::set<std::string>> files, folders;
  auto file = [&](const std::string& folder, const std::string& name) {
    std::string path = root + kSep;
    for (char c : folder + name) path += c == '/' ? kSep : c;
    write_file(path, name);
    files[folder].insert(name);
  };
  auto folder = [&](const std::string& parent, const std::string& name) {
    std::string path = root + kSep;
    for (char c : parent + name) path += c == '/' ? kSep : c;
    make_folder(path);
    folders[parent].insert(name + "/");
  };
  file("", "b.txt");
  file("", "a.txt");
  folder("", "x");
  file("x/", "x1.txt");
  folder("", "y");
  folder("x/", "deeper");
  file("x/deeper/", "z.txt");
  file("x/deeper/", "w.txt");
  folder("x/deeper/", "e");
  for (int i = 0; i < 6; ++i) file("", numbered("f", i));
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  std::vector<std::string> names = names_of(a);
  std::size_t at = 0;
  expect_depth_first(names, at, "", files, folders);
  EXPECT_EQ(at, names.size());
  EXPECT_EQ(names.size(), 15u);
}

TEST(ZipLayout, ReadOnlyAndMultiByteNames) {
  TempFolder tmp;
  const std::string root = tmp / "docs";
  make_folder(root);
  const std::string wide = "报告";
  write_file(joined(root, "ro.txt"), "keep");
  set_read_only(joined(root, "ro.txt"));
  make_folder(joined(root, wide));
  write_file(joined(joined(root, wide), wide + ".txt"), "text");
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  const Member* ro = find_member(a, "ro.txt");
  ASSERT_NE(ro, nullptr);
  EXPECT_EQ(ro->central.external, 0x81000021u);
  const Member* w = find_member(a, wide + "/" + wide + ".txt");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->content, "text");
  EXPECT_EQ(w->central.external, 0x81800020u);
  EXPECT_NE(find_member(a, wide + "/"), nullptr);
}

TEST(ZipLayout, ProgressCountsEveryEntryAndTruncates) {
  TempFolder tmp;
  const std::string root = tmp / "many";
  make_folder(root);
  for (int i = 0; i < 99; ++i) write_file(joined(root, numbered("f", i)), "x");
  make_folder(joined(root, "sub"));
  std::vector<int> seen;
  ASSERT_EQ(zip_compress(root, tmp / "out.zip", [&](int p) {
              seen.push_back(p);
              return 1;
            }),
            1);
  ASSERT_EQ(seen.size(), 100u);
  EXPECT_EQ(seen[0], 1);
  EXPECT_EQ(seen[28], 28) << "29 of 100 is 28.999... in double precision";
  EXPECT_EQ(seen[32], 33);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(checked_archive(tmp / "out.zip").members.size(), 100u);
}

TEST(ZipLayout, StopFinishesWithRemainingFolderEntriesOnly) {
  TempFolder tmp;
  const std::string root = tmp / "stop";
  make_folder(root);
  write_file(joined(root, "f1"), "1");
  write_file(joined(root, "f2"), "2");
  make_folder(joined(root, "s1"));
  write_file(joined(joined(root, "s1"), "inner"), "3");
  make_folder(joined(root, "s2"));
  std::vector<int> seen;
  ASSERT_EQ(zip_compress(root, tmp / "out.zip", [&](int p) {
              seen.push_back(p);
              return 0;
            }),
            1);
  Archive a = checked_archive(tmp / "out.zip");
  std::vector<std::string> names = names_of(a);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_TRUE(names[0] == "f1" || names[0] == "f2") << names[0];
  std::set<std::string> rest(names.begin() + 1, names.end());
  EXPECT_EQ(rest, (std::set<std::string>{"s1/", "s2/"}));
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], 20);
}

TEST(ZipLayout, SingleFileArchivesCallNoObserver) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  int calls = 0;
  EXPECT_EQ(zip_compress(tmp / "a.txt", tmp / "out.zip", [&](int) { return ++calls, 1; }), 1);
  EXPECT_EQ(calls, 0);
}

TEST(ZipFailures, BadInputGivesMinusOneAndCreatesNothing) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  EXPECT_EQ(zip_compress("", tmp / "x.zip"), -1);
  EXPECT_EQ(zip_compress(tmp / "a.txt", ""), -1);
  EXPECT_EQ(zip_compress(tmp / "missing.txt", tmp / "x.zip"), -1);
  EXPECT_EQ(zip_compress(tmp / "missing", tmp / "x.zip"), -1);
  EXPECT_FALSE(exists(tmp / "x.zip"));
}

TEST(ZipFailures, ArchiveThatCannotBeCreated) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  make_folder(tmp / "dir.zip");
  EXPECT_EQ(zip_compress(tmp / "a.txt", joined(tmp / "no-such-folder", "x.zip")), 0);
  EXPECT_FALSE(exists(tmp / "no-such-folder"));
  EXPECT_EQ(zip_compress(tmp / "a.txt", tmp / "dir.zip"), 0);
  EXPECT_EQ(zip_compress(tmp.path(), tmp / "dir.zip"), 0);
  EXPECT_EQ(read_file(tmp / "a.txt"), "a");
}

TEST(ZipFailures, SourceThatIsTheArchivePathIsLeftAlone) {
  TempFolder tmp;
  write_file(tmp / "a.zip", "precious");
  EXPECT_EQ(zip_compress(tmp / "a.zip", tmp / "a.zip"), 0);
  EXPECT_EQ(read_file(tmp / "a.zip"), "precious");
}

TEST(ZipFailures, ArchiveInsideTheFolderStopsAtItself) {
  TempFolder tmp;
  const std::string root = tmp / "self";
  make_folder(root);
  for (int i = 0; i < 5; ++i) write_file(joined(root, numbered("f", i)), std::string(100, 'a' + i));
  const std::string archive = joined(root, "self.zip");
  EXPECT_EQ(zip_compress(root, archive), 0);
  Archive a = checked_archive(archive);
  EXPECT_LE(a.members.size(), 5u);
  EXPECT_EQ(find_member(a, "self.zip"), nullptr);
  for (const Member& m : a.members) EXPECT_EQ(m.content, std::string(100, 'a' + (m.central.name[1] - '0')));
}

TEST(ZipFailures, SecondArchiveToTheSamePathReplacesTheFirst) {
  TempFolder tmp;
  write_file(tmp / "long.txt", text_of(100000));
  write_file(tmp / "short.txt", "s");
  ASSERT_EQ(zip_compress(tmp / "long.txt", tmp / "out.zip"), 1);
  ASSERT_EQ(zip_compress(tmp / "short.txt", tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(names_of(a), std::vector<std::string>{"short.txt"});
}

}  // namespace
