#include "zip_reader.h"

#include <zlib.h>

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

bool read_all(const std::string& path, Bytes& out) {
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  unsigned char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) out.insert(out.end(), buf, buf + n);
  return std::ferror(f.get()) == 0;
}

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

bool check_data(const Bytes& file, Member& m) {
  const std::uint64_t size = m.central.compressed;
  if (m.data_offset + size > file.size()) return false;
  const unsigned char* data = file.data() + m.data_offset;
  if (size <= kKeepLimit) m.raw.assign(data, data + size);
  uLong crc = crc32(0, nullptr, 0);
  std::uint64_t total = 0;
  if (m.central.method == 0) {
    crc = crc32_z(crc, data, size);
    total = size;
    if (size <= kKeepLimit) m.content.assign(reinterpret_cast<const char*>(data), size);
  } else if (m.central.method == 8) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    std::uint64_t left = size;
    const unsigned char* in = data;
    unsigned char out[65536];
    int ret = Z_OK;
    while (ret != Z_STREAM_END) {
      uInt chunk = left > (1u << 30) ? (1u << 30) : static_cast<uInt>(left);
      z.next_in = const_cast<unsigned char*>(in);
      z.avail_in = chunk;
      z.next_out = out;
      z.avail_out = sizeof out;
      ret = inflate(&z, Z_NO_FLUSH);
      in += chunk - z.avail_in;
      left -= chunk - z.avail_in;
      std::size_t got = sizeof out - z.avail_out;
      crc = crc32_z(crc, out, got);
      total += got;
      if (total <= kKeepLimit) m.content.append(reinterpret_cast<char*>(out), got);
      if (ret != Z_OK && ret != Z_STREAM_END) break;
      if (ret == Z_OK && got == 0 && chunk == 0) break;
    }
    inflateEnd(&z);
    if (ret != Z_STREAM_END || left != 0) return false;
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
  Bytes f;
  if (!read_all(path, f)) {
    a.error = "cannot read file";
    return a;
  }
  a.file_size = f.size();
  if (f.size() < 22) {
    a.error = "shorter than an end record";
    return a;
  }
  // No comment is written, so the end record is the last 22 bytes.
  const unsigned char* e = f.data() + f.size() - 22;
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
  if (f.size() >= 22 + 20 && le32(e - 20) == 0x07064B50) {
    const unsigned char* loc = e - 20;
    std::uint64_t at = le64(loc + 8);
    if (at + 56 > f.size() || le32(&f[at]) != 0x06064B50 || at + 56 != f.size() - 42) {
      a.error = "ZIP64 locator points to no ZIP64 end record";
      return a;
    }
    const unsigned char* z = &f[at];
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
  std::uint64_t at = a.directory_offset;
  for (std::uint64_t i = 0; i < a.count; ++i) {
    if (at + 46 > directory_end || le32(&f[at]) != 0x02014B50) {
      a.error = "bad central header " + std::to_string(i);
      return a;
    }
    const unsigned char* c = &f[at];
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

    if (h.offset + 30 > f.size() || le32(&f[h.offset]) != 0x04034B50) {
      a.error = "no local header for " + h.name;
      return a;
    }
    const unsigned char* l = &f[h.offset];
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
    if (h.offset + 30 + ln + lx > f.size()) {
      a.error = "local header runs past the file";
      return a;
    }
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
