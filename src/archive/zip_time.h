#pragma once
// The two time encodings of an entry: the MS-DOS stamp of its local time and
// the 32-bit Unix time of its extended-timestamp field.
#include <cstdint>

#include "archive/zip_file.h"

namespace tamsel {

// MS-DOS date << 16 | MS-DOS time; local times outside 1980..2107 are held at
// the nearest stamp the encoding can hold.
std::uint32_t dos_stamp(const LocalTime& local);

// The instant; a local year before 1970 or after 2037 is first moved to
// 1970-01-01 or 2037-12-31 at the same time of day.
std::uint32_t unix_stamp(const FileMoment& moment);

}  // namespace tamsel
