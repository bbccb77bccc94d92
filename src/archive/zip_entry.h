#pragma once
// The record of one archive member, kept in memory until the central
// directory is written.
#include <cstdint>

#include "backup/text.h"

namespace tamsel {

inline constexpr std::uint16_t kVersionMadeBy = 0x0B17;
inline constexpr std::uint16_t kVersionNeeded = 20;
inline constexpr std::uint16_t kVersionNeededZip64 = 45;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
inline constexpr std::uint32_t kFolderAttributes = 0x41C00010;
// Largest name the 16-bit length field can describe.
inline constexpr std::size_t kMaxNameLength = 0xFFFF;

struct ZipEntry {
  std::uint16_t version_made_by = kVersionMadeBy;
  std::uint16_t version_needed = kVersionNeeded;
  std::uint16_t flags = 0;
  std::uint16_t method = kMethodStored;
  std::uint32_t time_stamp = 0;  // MS-DOS date << 16 | MS-DOS time
  std::uint32_t crc = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t uncompressed_size = 0;
  Text name;
  std::uint16_t internal_attributes = 0;
  std::uint32_t external_attributes = 0;
  std::uint64_t local_header_offset = 0;
  std::uint32_t modified = 0;  // Unix times of the extended-timestamp field
  std::uint32_t accessed = 0;
  std::uint32_t created = 0;
  // The local header carries its sizes in a ZIP64 field (a source of about
  // 4 GiB or more); the central header then does too.
  bool zip64_sizes = false;
};

}  // namespace tamsel
