#pragma once
// Writes one ZIP archive: create, add entries one at a time, finish with the
// central directory.
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/zip_entry.h"
#include "archive/zip_file.h"
#include "archive/zip_records.h"

namespace tamsel {

enum class EntryKind { file, folder };

// added: a complete entry was appended; missing: the source no longer exists
// and nothing was written; failed: nothing of the entry stays in the archive.
enum class AddResult { added, missing, failed };

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Creates the file or empties an existing one, open for writing and
  // shared with nobody.
  bool create(const Text& path);
  AddResult add(const Text& name, const Text& source, EntryKind kind);
  // Writes the central directory and the end record once and closes the
  // file; false when they could not be written.
  bool finish();
  std::size_t entry_count() const { return entries_.size(); }

 private:
  struct Deflater;

  bool begin_entry(const ZipEntry& entry);
  bool copy_data(SourceFile& source, bool deflate, std::uint32_t& crc, std::uint64_t& read_total);
  bool emit(const unsigned char* data, std::size_t size);
  bool make_room();
  bool flush();
  bool end_entry(ZipEntry& entry);
  void drop_entry(const ZipEntry& entry);

  ArchiveFile file_;
  bool finished_ = true;
  std::uint64_t end_ = 0;       // end of the complete entries
  std::uint64_t buffer_at_ = 0; // archive offset of out_[0]
  std::size_t used_ = 0;        // bytes waiting in out_
  std::size_t data_start_ = 0;  // where entry data begins in out_ (after a header kept there)
  bool header_in_buffer_ = false;
  std::vector<ZipEntry> entries_;
  Bytes out_;
  Bytes in_;
  std::unique_ptr<Deflater> deflater_;
};

}  // namespace tamsel
