#pragma once
// A small ZIP reader for the tests, written apart from the writer: it walks
// the end record, the central directory and every local header, keeps every
// field as found and inflates the data to check it.
#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

using Bytes = std::vector<unsigned char>;

struct Header {
  std::uint16_t made_by = 0;  // central only
  std::uint16_t needed = 0;
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint16_t dos_time = 0;
  std::uint16_t dos_date = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressed32 = 0;    // as found in the 32-bit field
  std::uint32_t uncompressed32 = 0;
  std::uint64_t compressed = 0;      // after any ZIP64 field
  std::uint64_t uncompressed = 0;
  std::string name;
  Bytes extra;
  std::uint16_t comment_length = 0;  // central only
  std::uint16_t disk = 0;
  std::uint16_t internal = 0;
  std::uint32_t external = 0;
  std::uint64_t offset = 0;
  bool has_zip64 = false;
};

struct Member {
  Header central;
  Header local;
  std::uint64_t data_offset = 0;
  Bytes raw;                  // the member's data as stored (kept when small)
  std::string content;        // inflated or stored bytes (kept when small)
  std::uint32_t content_crc = 0;
  std::uint64_t content_size = 0;
  bool data_ok = false;       // the data could be read to its end as its method says
};

struct Archive {
  bool ok = false;
  std::string error;
  std::uint64_t file_size = 0;
  bool zip64 = false;             // ZIP64 end record and locator present
  std::uint16_t end_count_disk = 0, end_count = 0;
  std::uint32_t end_size = 0, end_offset = 0;
  std::uint64_t count = 0, directory_size = 0, directory_offset = 0;
  std::vector<Member> members;
};

Archive read_zip(const std::string& path);

// The sub-fields of an extra field as (tag, data).
std::vector<std::pair<std::uint16_t, Bytes>> extra_fields(const Bytes& extra);

std::uint32_t le32(const unsigned char* p);
std::uint16_t le16(const unsigned char* p);

}  // namespace ziptest
