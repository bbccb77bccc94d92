#pragma once
// Byte images of the ZIP records: local header, central header and the end
// records, all little-endian.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/zip_entry.h"

namespace tamsel {

using Bytes = std::vector<unsigned char>;

// Size of the local header of the entry, name and extra fields included.
std::size_t local_header_size(const ZipEntry& entry);

// Writes the local header at out[at .. at + local_header_size).
void put_local_header(unsigned char* out, const ZipEntry& entry);

void append_central_header(Bytes& out, const ZipEntry& entry);

// The end record, preceded by the ZIP64 end record and locator when the
// count, size or offset do not fit the classic fields.
void append_end_records(Bytes& out, std::uint64_t entries, std::uint64_t directory_offset,
                        std::uint64_t directory_size);

}  // namespace tamsel
