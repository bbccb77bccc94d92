// tamsel-zip [--progress] SOURCE ARCHIVE: writes one archive with the
// program's archive writer and prints its result (1, 0 or -1).
#include <cstdio>
#include <cstring>

#include "archive/zip_compress.h"

int main(int argc, char** argv) {
  bool progress = false;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--progress") == 0) {
    progress = true;
    first = 2;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: tamsel-zip [--progress] SOURCE ARCHIVE\n");
    return 2;
  }
  tamsel::ZipProgress observer;
  if (progress) {
    observer = [](int percent) {
      std::printf("%d\n", percent);
      return 1;
    };
  }
  const int result = tamsel::zip_compress(argv[first], argv[first + 1], observer);
  std::printf("%d\n", result);
  std::fflush(stdout);
  return result == 1 ? 0 : result == 0 ? 1 : 2;
}
