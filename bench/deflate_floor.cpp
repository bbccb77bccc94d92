// deflate-floor FOLDER: reads every file below the folder into memory, then
// deflates them all with zlib at level 8 (raw, one stream reused through
// deflateReset) and prints the wall and processor seconds of the deflate part
// alone and the compressed total: the floor no archiver at level 8 can go
// below.
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: deflate-floor FOLDER\n");
    return 2;
  }
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(argv[1])) {
    if (!e.is_regular_file()) continue;
    std::ifstream f(e.path(), std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  z_stream z{};
  if (deflateInit2(&z, 8, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return 1;
  std::vector<unsigned char> out(16 * 1024);
  unsigned long long total_in = 0, total_out = 0;
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpu_start = std::clock();
  for (const std::string& data : files) {
    deflateReset(&z);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    int ret;
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      ret = deflate(&z, Z_FINISH);
      total_out += out.size() - z.avail_out;
    } while (ret != Z_STREAM_END);
    total_in += data.size();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  deflateEnd(&z);
  std::printf("files %zu in %llu out %llu deflate_seconds %.3f deflate_cpu %.3f\n", files.size(), total_in,
              total_out, seconds, cpu);
  return 0;
}
