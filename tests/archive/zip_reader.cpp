#include "zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace ziptest {
namespace {

constexpr std::uint64_t kKeepLimit = 16u << 20;

std::uint64_t le64(const unsigned char* p) {
  return le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Random access to the archive file (archives of several GiB are read too).
class File {
 public:
  explicit File(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {
    if (f_ && seek(0, SEEK_END)) size_ = tell();
  }
  bool ok() const { return f_ != nullptr; }
  std::uint64_t size() const { return size_; }
  // n bytes at offset; empty when they are not all there.
  Bytes at(std::uint64_t offset, std::size_t n) {
    Bytes out(n);
    if (offset + n > size_ || !seek(offset, SEEK_SET) || std::fread(out.data(), 1, n, f_.get()) != n) return {};
    return out;
  }
  std::size_t read_some(std::uint64_t offset, unsigned char* buf, std::size_t n) {
    if (!seek(offset, SEEK_SET)) return 0;
    return std::fread(buf, 1, n, f_.get());
  }

 private:
  bool seek(std::uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f_.get(), static_cast<long long>(offset), whence) == 0;
#else
    return fseeko(f_.get(), static_cast<off_t>(offset), whence) == 0;
#endif
  }
  std::uint64_t tell() {
#ifdef _WIN32
    return static_cast<std::uint64_t>(_ftelli64(f_.get()));
#else
    return static_cast<std::uint64_t>(ftello(f_.get()));
#endif
  }
  std::unique_ptr<std::FILE, FileCloser> f_;
  std::uint64_t size_ = 0;
};

// Applies a ZIP64 extra field to the values found as 0xFFFFFFFF.
void apply_zip64(Header& h, bool central) {
  for (auto& [tag, data] : extra_fields(h.extra)) {
    if (tag != 1) continue;
    h.has_zip64 = true;
    std::size_t at = 0;
    auto next = [&](std::uint64_t& v) {
      if (at + 8 <= data.size()) v = le64(data.data() + at);
      at += 8;
    };
    if (!central || h.uncompressed32 == 0xFFFFFFFF) next(h.uncompressed);
    if (!central || h.compressed32 == 0xFFFFFFFF) next(h.compressed);
    if (central && h.offset == 0xFFFFFFFF) next(h.offset);
  }
}

bool check_data(File& file, Member& m) {
  const std::uint64_t size = m.central.compressed;
  if (m.data_offset + size > file.size()) return false;
  if (size <= kKeepLimit) m.raw = file.at(m.data_offset, static_cast<std::size_t>(size));
  uLong crc = crc32(0, nullptr, 0);
  std::uint64_t total = 0;
  std::vector<unsigned char> in(1 << 20), out(1 << 20);
  if (m.central.method == 0) {
    for (std::uint64_t done = 0; done < size;) {
      std::size_t n = file.read_some(m.data_offset + done, in.data(),
                                     static_cast<std::size_t>(std::min<std::uint64_t>(in.size(), size - done)));
      if (n == 0) return false;
      crc = crc32_z(crc, in.data(), n);
      if (size <= kKeepLimit) m.content.append(reinterpret_cast<char*>(in.data()), n);
      done += n;
    }
    total = size;
  } else if (m.central.method == 8) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    std::uint64_t left = size, at = m.data_offset;
    int ret = Z_OK;
    while (ret != Z_STREAM_END) {
      if (z.avail_in == 0 && left > 0) {
        std::size_t n = file.read_some(at, in.data(),
                                       static_cast<std::size_t>(std::min<std::uint64_t>(in.size(), left)));
        if (n == 0) break;
        at += n;
        left -= n;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      ret = inflate(&z, Z_NO_FLUSH);
      std::size_t got = out.size() - z.avail_out;
      crc = crc32_z(crc, out.data(), got);
      total += got;
      if (total <= kKeepLimit) m.content.append(reinterpret_cast<char*>(out.data()), got);
      if (ret != Z_OK && ret != Z_STREAM_END) break;
      if (ret == Z_OK && got == 0 && z.avail_in == 0 && left == 0) break;
    }
    const bool whole = ret == Z_STREAM_END && left == 0 && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole) return false;
  } else {
    return false;
  }
  if (total > kKeepLimit) m.content.clear();
  m.content_crc = static_cast<std::uint32_t>(crc);
  m.content_size = total;
  return true;
}

}  // namespace

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::vector<std::pair<std::uint16_t, Bytes>> extra_fields(const Bytes& extra) {
  std::vector<std::pair<std::uint16_t, Bytes>> out;
  std::size_t at = 0;
  while (at + 4 <= extra.size()) {
    std::uint16_t tag = le16(&extra[at]), size = le16(&extra[at + 2]);
    std::size_t end = std::min(extra.size(), at + 4 + size);
    out.emplace_back(tag, Bytes(extra.begin() + static_cast<long>(at + 4), extra.begin() + static_cast<long>(end)));
    at += 4 + size;
  }
  return out;
}

Archive read_zip(const std::string& path) {
  Archive a;
  File f(path);
  if (!f.ok()) {
    a.error = "cannot read file";
    return a;
  }
  a.file_size = f.size();
  if (f.size() < 22) {
    a.error = "shorter than an end record";
    return a;
  }
  // No comment is written, so the end record is the last 22 bytes.
  const Bytes tail = f.at(f.size() - std::min<std::uint64_t>(f.size(), 22 + 20), std::min<std::uint64_t>(f.size(), 22 + 20));
  const unsigned char* e = tail.data() + tail.size() - 22;
  if (le32(e) != 0x06054B50) {
    a.error = "no end record at the end";
    return a;
  }
  if (le16(e + 4) != 0 || le16(e + 6) != 0 || le16(e + 20) != 0) {
    a.error = "end record: disk numbers or comment";
    return a;
  }
  a.end_count_disk = le16(e + 8);
  a.end_count = le16(e + 10);
  a.end_size = le32(e + 12);
  a.end_offset = le32(e + 16);
  a.count = a.end_count;
  a.directory_size = a.end_size;
  a.directory_offset = a.end_offset;
  std::uint64_t directory_end = f.size() - 22;
  if (tail.size() == 22 + 20 && le32(e - 20) == 0x07064B50) {
    const unsigned char* loc = e - 20;
    std::uint64_t at = le64(loc + 8);
    const Bytes record = f.at(at, 56);
    if (record.empty() || le32(record.data()) != 0x06064B50 || at + 56 != f.size() - 42) {
      a.error = "ZIP64 locator points to no ZIP64 end record";
      return a;
    }
    const unsigned char* z = record.data();
    a.zip64 = true;
    a.count = le64(z + 32);
    if (le64(z + 24) != a.count) {
      a.error = "ZIP64 end record: counts differ";
      return a;
    }
    a.directory_size = le64(z + 40);
    a.directory_offset = le64(z + 48);
    directory_end = at;
  }
  if (a.directory_offset + a.directory_size != directory_end) {
    a.error = "central directory does not end at the end records";
    return a;
  }
  const Bytes directory = f.at(a.directory_offset, static_cast<std::size_t>(a.directory_size));
  if (directory.size() != a.directory_size) {
    a.error = "central directory cannot be read";
    return a;
  }
  std::uint64_t at = a.directory_offset;
  for (std::uint64_t i = 0; i < a.count; ++i) {
    const unsigned char* c = directory.data() + (at - a.directory_offset);
    if (at + 46 > directory_end || le32(c) != 0x02014B50) {
      a.error = "bad central header " + std::to_string(i);
      return a;
    }
    Member m;
    Header& h = m.central;
    h.made_by = le16(c + 4);
    h.needed = le16(c + 6);
    h.flags = le16(c + 8);
    h.method = le16(c + 10);
    h.dos_time = le16(c + 12);
    h.dos_date = le16(c + 14);
    h.crc = le32(c + 16);
    h.compressed = h.compressed32 = le32(c + 20);
    h.uncompressed = h.uncompressed32 = le32(c + 24);
    std::uint16_t n = le16(c + 28), x = le16(c + 30);
    h.comment_length = le16(c + 32);
    h.disk = le16(c + 34);
    h.internal = le16(c + 36);
    h.external = le32(c + 38);
    h.offset = le32(c + 42);
    if (at + 46 + n + x + h.comment_length > directory_end) {
      a.error = "central header runs past the directory";
      return a;
    }
    h.name.assign(reinterpret_cast<const char*>(c + 46), n);
    h.extra.assign(c + 46 + n, c + 46 + n + x);
    apply_zip64(h, true);
    at += 46 + n + x + h.comment_length;

    const Bytes fixed = f.at(h.offset, 30);
    if (fixed.empty() || le32(fixed.data()) != 0x04034B50) {
      a.error = "no local header for " + h.name;
      return a;
    }
    const Bytes local = f.at(h.offset, 30u + le16(&fixed[26]) + le16(&fixed[28]));
    if (local.empty()) {
      a.error = "local header runs past the file";
      return a;
    }
    const unsigned char* l = local.data();
    Header& lh = m.local;
    lh.needed = le16(l + 4);
    lh.flags = le16(l + 6);
    lh.method = le16(l + 8);
    lh.dos_time = le16(l + 10);
    lh.dos_date = le16(l + 12);
    lh.crc = le32(l + 14);
    lh.compressed = lh.compressed32 = le32(l + 18);
    lh.uncompressed = lh.uncompressed32 = le32(l + 22);
    std::uint16_t ln = le16(l + 26), lx = le16(l + 28);
    lh.offset = h.offset;
    lh.name.assign(reinterpret_cast<const char*>(l + 30), ln);
    lh.extra.assign(l + 30 + ln, l + 30 + ln + lx);
    if (lh.compressed32 == 0xFFFFFFFF || lh.uncompressed32 == 0xFFFFFFFF) apply_zip64(lh, false);
    m.data_offset = h.offset + 30 + ln + lx;
    m.data_ok = check_data(f, m);
    a.members.push_back(std::move(m));
  }
  if (at != directory_end) {
    a.error = "central directory size does not match its headers";
    return a;
  }
  a.ok = true;
  return a;
}

}  // namespace ziptest
