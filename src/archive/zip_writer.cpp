#include "archive/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "archive/zip_time.h"

namespace tamsel {
namespace {

constexpr std::size_t kOutputSize = 16 * 1024;  // entry data leaves in chunks of this size
constexpr std::size_t kInputSize = 256 * 1024;
constexpr std::size_t kLargestHeader = 30 + kMaxNameLength + 20 + 17;
constexpr int kLevel = 8;
constexpr std::uint16_t kFlagDeflatedNormal = 0x0002;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
// A source this close to 4 GiB (deflate can grow data a little) gets ZIP64
// sizes in its local header from the start.
constexpr std::uint64_t kZip64Threshold = 0xFFFFFFFFULL - 64 * 1024 * 1024;
constexpr std::uint64_t kMax32 = 0xFFFFFFFF;

const char* const kStoredSuffixes[] = {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};

bool equal_ignoring_case(const Text& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool has_stored_suffix(const Text& name) {
  std::size_t dot = name.rfind('.');
  if (dot == Text::npos) return false;
  Text suffix = name.substr(dot);
  for (const char* s : kStoredSuffixes) {
    if (equal_ignoring_case(suffix, s)) return true;
  }
  return false;
}

// The platform's separators become "/", stepping over two-byte characters
// whose second byte happens to equal the separator.
Text entry_name(const Text& name) {
  Text out = name;
  if (kSeparator == '/') return out;
  for (std::size_t i = 0; i < out.size(); i += char_length(out, i)) {
    if (out[i] == kSeparator) out[i] = '/';
  }
  return out;
}

}  // namespace

struct ZipWriter::Deflater {
  z_stream stream{};
  bool ready = false;
  ~Deflater() {
    if (ready) deflateEnd(&stream);
  }
  bool start() {
    if (ready) return deflateReset(&stream) == Z_OK;
    ready = deflateInit2(&stream, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    return ready;
  }
};

ZipWriter::ZipWriter() : deflater_(std::make_unique<Deflater>()) {}

ZipWriter::~ZipWriter() { finish(); }

bool ZipWriter::create(const Text& path) {
  finish();
  if (!file_.create(path)) return false;
  finished_ = false;
  end_ = buffer_at_ = 0;
  used_ = data_start_ = 0;
  header_in_buffer_ = false;
  entries_.clear();
  out_.assign(kLargestHeader + kOutputSize, 0);
  return true;
}

AddResult ZipWriter::add(const Text& raw_name, const Text& source_path, EntryKind kind) {
  if (finished_) return AddResult::failed;
  ZipEntry entry;
  entry.name = entry_name(raw_name);
  if (entry.name.empty()) return AddResult::failed;
  if (kind == EntryKind::folder && entry.name.back() != '/') entry.name += '/';
  if (entry.name.size() > kMaxNameLength) return AddResult::failed;
  entry.local_header_offset = end_;

  SourceFile source;
  const bool folder = kind == EntryKind::folder;
  bool deflate = false;
  if (folder) {
    FileMoment now = moment_now();
    entry.time_stamp = dos_stamp(now.local);
    entry.modified = entry.accessed = entry.created = unix_stamp(now);
    entry.external_attributes = kFolderAttributes;
  } else {
    OpenResult opened = source.open(source_path, file_);
    if (opened != OpenResult::opened) {
      return opened == OpenResult::missing ? AddResult::missing : AddResult::failed;
    }
    SourceFacts facts;
    if (!source.facts(source_path, facts)) return AddResult::failed;
    deflate = !has_stored_suffix(entry.name);
    entry.method = deflate ? kMethodDeflated : kMethodStored;
    entry.time_stamp = dos_stamp(facts.modified.local);
    entry.modified = unix_stamp(facts.modified);
    entry.accessed = unix_stamp(facts.accessed);
    entry.created = unix_stamp(facts.created);
    const bool read_only = facts.dos & 0x01;
    const std::uint32_t mode = 0x8000 | 0x0100 | (read_only ? 0 : 0x0080);
    entry.external_attributes = mode << 16 | (facts.dos & 0x37);
    entry.zip64_sizes = facts.size >= kZip64Threshold;
    // Provisional values until the data has been written.
    entry.flags = kFlagDataDescriptor;
    entry.uncompressed_size = facts.size;
    entry.compressed_size = deflate ? 0 : facts.size;
  }

  // ZIP64 fields (sizes here, or an offset in the central header) need a
  // reader of version 4.5.
  if (entry.zip64_sizes || entry.local_header_offset >= kMax32) entry.version_needed = kVersionNeededZip64;
  if (!begin_entry(entry)) {
    drop_entry(entry);
    return AddResult::failed;
  }
  if (!folder) {
    std::uint32_t crc = 0;
    std::uint64_t read_total = 0;
    if (!copy_data(source, deflate, crc, read_total)) {
      drop_entry(entry);
      return AddResult::failed;
    }
    source.close();
    entry.crc = crc;
    entry.uncompressed_size = read_total;
    entry.compressed_size = buffer_at_ + used_ - (entry.local_header_offset + local_header_size(entry));
    entry.flags = deflate ? kFlagDeflatedNormal : 0;
    if (!entry.zip64_sizes && (entry.uncompressed_size >= kMax32 || entry.compressed_size >= kMax32)) {
      // The source grew past what its local header can describe.
      drop_entry(entry);
      return AddResult::failed;
    }
  }
  if (!end_entry(entry)) {
    drop_entry(entry);
    return AddResult::failed;
  }
  entries_.push_back(std::move(entry));
  return AddResult::added;
}

bool ZipWriter::begin_entry(const ZipEntry& entry) {
  // The header waits in the buffer; a small entry then reaches the file in
  // one write with its final header.
  buffer_at_ = end_;
  put_local_header(out_.data(), entry);
  used_ = data_start_ = local_header_size(entry);
  header_in_buffer_ = true;
  return true;
}

bool ZipWriter::flush() {
  if (used_ > 0 && !file_.write_at(buffer_at_, out_.data(), used_)) return false;
  buffer_at_ += used_;
  used_ = data_start_ = 0;
  header_in_buffer_ = false;
  return true;
}

bool ZipWriter::make_room() {
  return used_ < data_start_ + kOutputSize || flush();
}

bool ZipWriter::emit(const unsigned char* data, std::size_t size) {
  while (size > 0) {
    if (!make_room()) return false;
    std::size_t n = std::min(size, data_start_ + kOutputSize - used_);
    std::memcpy(out_.data() + used_, data, n);
    used_ += n;
    data += n;
    size -= n;
  }
  return true;
}

bool ZipWriter::copy_data(SourceFile& source, bool deflate, std::uint32_t& crc,
                          std::uint64_t& read_total) {
  if (in_.empty()) in_.resize(kInputSize);
  z_stream& z = deflater_->stream;
  if (deflate && !deflater_->start()) return false;
  uLong sum = crc32(0, nullptr, 0);
  for (bool end = false; !end;) {
    // Fill the block until it is full or a read returns nothing; the block
    // that ends the source is deflated with Z_FINISH (one call for most
    // small files).
    std::size_t n = 0;
    while (n < in_.size()) {
      long long got = source.read(in_.data() + n, in_.size() - n);
      if (got < 0) return false;  // a read error fails the entry
      if (got == 0) {
        end = true;
        break;
      }
      n += static_cast<std::size_t>(got);
    }
    sum = crc32_z(sum, in_.data(), n);
    read_total += n;
    if (!deflate) {
      if (!emit(in_.data(), n)) return false;
      continue;
    }
    const int mode = end ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = in_.data();
    z.avail_in = static_cast<uInt>(n);
    int ret;
    do {
      if (!make_room()) return false;
      const std::size_t room = data_start_ + kOutputSize - used_;
      z.next_out = out_.data() + used_;
      z.avail_out = static_cast<uInt>(room);
      ret = ::deflate(&z, mode);
      if (ret == Z_STREAM_ERROR) return false;
      used_ += room - z.avail_out;
    } while (z.avail_in > 0 || (mode == Z_FINISH && ret != Z_STREAM_END));
  }
  crc = static_cast<std::uint32_t>(sum);
  return true;
}

bool ZipWriter::end_entry(ZipEntry& entry) {
  if (header_in_buffer_) {
    put_local_header(out_.data(), entry);
    if (!flush()) return false;
  } else {
    if (!flush()) return false;
    unsigned char header[kLargestHeader];
    put_local_header(header, entry);
    if (!file_.write_at(entry.local_header_offset, header, local_header_size(entry))) return false;
  }
  end_ = buffer_at_;
  return true;
}

void ZipWriter::drop_entry(const ZipEntry& entry) {
  // Nothing of a failed entry stays: the archive is cut back to its start.
  used_ = data_start_ = 0;
  header_in_buffer_ = false;
  buffer_at_ = end_ = entry.local_header_offset;
  file_.truncate(end_);
}

bool ZipWriter::finish() {
  if (finished_) return true;
  finished_ = true;
  bool ok = flush();
  buffer_at_ = end_;
  const std::uint64_t directory_at = end_;
  Bytes block;
  block.reserve(kOutputSize + kLargestHeader + 128);
  for (const ZipEntry& e : entries_) {
    if (!ok) break;
    append_central_header(block, e);
    if (block.size() >= kOutputSize) {
      ok = file_.write_at(buffer_at_, block.data(), block.size());
      buffer_at_ += block.size();
      block.clear();
    }
  }
  if (ok) {
    const std::uint64_t directory_size = buffer_at_ + block.size() - directory_at;
    append_end_records(block, entries_.size(), directory_at, directory_size);
    ok = file_.write_at(buffer_at_, block.data(), block.size());
  }
  file_.close();
  entries_.clear();
  entries_.shrink_to_fit();
  return ok;
}

}  // namespace tamsel
