#include "archive/zip_records.h"

#include <cstring>

namespace tamsel {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint16_t kZip64Tag = 0x0001;
constexpr std::uint16_t kTimestampTag = 0x5455;  // "UT"
constexpr std::uint8_t kTimestampFlags = 0x07;   // modification, access, creation
constexpr std::uint32_t kMax32 = 0xFFFFFFFF;
constexpr std::uint16_t kMax16 = 0xFFFF;

constexpr std::size_t kLocalFixed = 30;
constexpr std::size_t kCentralFixed = 46;
constexpr std::size_t kLocalTimestampSize = 17;
constexpr std::size_t kCentralTimestampSize = 9;
constexpr std::size_t kLocalZip64Size = 20;  // tag, size, two sizes

// Little-endian stores at a moving cursor.
class Put {
 public:
  explicit Put(unsigned char* at) : p_(at) {}
  Put& u8(std::uint8_t v) {
    *p_++ = v;
    return *this;
  }
  Put& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Put& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Put& u64(std::uint64_t v) { return u32(static_cast<std::uint32_t>(v)).u32(v >> 32); }
  Put& bytes(const Text& t) {
    std::memcpy(p_, t.data(), t.size());
    p_ += t.size();
    return *this;
  }
  unsigned char* at() const { return p_; }

 private:
  unsigned char* p_;
};

std::uint32_t fit32(std::uint64_t v) { return v >= kMax32 ? kMax32 : static_cast<std::uint32_t>(v); }

// Which sizes and offset of the central header go to its ZIP64 field.
struct CentralWide {
  bool uncompressed, compressed, offset;
  std::size_t extra() const {
    std::size_t n = 8 * (uncompressed + compressed + offset);
    return n ? 4 + n : 0;
  }
};

CentralWide central_wide(const ZipEntry& e) {
  return {e.zip64_sizes || e.uncompressed_size >= kMax32, e.zip64_sizes || e.compressed_size >= kMax32,
          e.local_header_offset >= kMax32};
}

std::size_t grow(Bytes& out, std::size_t n) {
  std::size_t at = out.size();
  out.resize(at + n);
  return at;
}

}  // namespace

std::size_t local_header_size(const ZipEntry& e) {
  return kLocalFixed + e.name.size() + kLocalTimestampSize + (e.zip64_sizes ? kLocalZip64Size : 0);
}

void put_local_header(unsigned char* out, const ZipEntry& e) {
  const std::size_t extra = kLocalTimestampSize + (e.zip64_sizes ? kLocalZip64Size : 0);
  Put p(out);
  p.u32(kLocalSignature)
      .u16(e.version_needed)
      .u16(e.flags)
      .u16(e.method)
      .u16(e.time_stamp & 0xFFFF)
      .u16(e.time_stamp >> 16)
      .u32(e.crc)
      .u32(e.zip64_sizes ? kMax32 : static_cast<std::uint32_t>(e.compressed_size))
      .u32(e.zip64_sizes ? kMax32 : static_cast<std::uint32_t>(e.uncompressed_size))
      .u16(static_cast<std::uint16_t>(e.name.size()))
      .u16(static_cast<std::uint16_t>(extra))
      .bytes(e.name);
  if (e.zip64_sizes) {
    p.u16(kZip64Tag).u16(16).u64(e.uncompressed_size).u64(e.compressed_size);
  }
  p.u16(kTimestampTag).u16(13).u8(kTimestampFlags).u32(e.modified).u32(e.accessed).u32(e.created);
}

void append_central_header(Bytes& out, const ZipEntry& e) {
  const CentralWide wide = central_wide(e);
  const std::size_t extra = wide.extra() + kCentralTimestampSize;
  Put p(out.data() + grow(out, kCentralFixed + e.name.size() + extra));
  p.u32(kCentralSignature)
      .u16(e.version_made_by)
      .u16(e.version_needed)
      .u16(e.flags)
      .u16(e.method)
      .u16(e.time_stamp & 0xFFFF)
      .u16(e.time_stamp >> 16)
      .u32(e.crc)
      .u32(wide.compressed ? kMax32 : static_cast<std::uint32_t>(e.compressed_size))
      .u32(wide.uncompressed ? kMax32 : static_cast<std::uint32_t>(e.uncompressed_size))
      .u16(static_cast<std::uint16_t>(e.name.size()))
      .u16(static_cast<std::uint16_t>(extra))
      .u16(0)   // comment length
      .u16(0)   // disk number start
      .u16(e.internal_attributes)
      .u32(e.external_attributes)
      .u32(wide.offset ? kMax32 : static_cast<std::uint32_t>(e.local_header_offset))
      .bytes(e.name);
  if (wide.extra()) {
    p.u16(kZip64Tag).u16(static_cast<std::uint16_t>(wide.extra() - 4));
    if (wide.uncompressed) p.u64(e.uncompressed_size);
    if (wide.compressed) p.u64(e.compressed_size);
    if (wide.offset) p.u64(e.local_header_offset);
  }
  p.u16(kTimestampTag).u16(5).u8(kTimestampFlags).u32(e.modified);
}

void append_end_records(Bytes& out, std::uint64_t entries, std::uint64_t offset, std::uint64_t size) {
  const bool wide = entries > kMax16 || offset >= kMax32 || size >= kMax32;
  if (wide) {
    const std::uint64_t record_at = offset + size;
    Put p(out.data() + grow(out, 56 + 20));
    p.u32(kZip64EndSignature)
        .u64(44)  // size of the rest of the record
        .u16(kVersionMadeBy)
        .u16(kVersionNeededZip64)
        .u32(0)
        .u32(0)
        .u64(entries)
        .u64(entries)
        .u64(size)
        .u64(offset);
    p.u32(kZip64LocatorSignature).u32(0).u64(record_at).u32(1);
  }
  const std::uint16_t count = entries > kMax16 ? kMax16 : static_cast<std::uint16_t>(entries);
  Put p(out.data() + grow(out, 22));
  p.u32(kEndSignature).u16(0).u16(0).u16(count).u16(count).u32(fit32(size)).u32(fit32(offset)).u16(0);
}

}  // namespace tamsel
