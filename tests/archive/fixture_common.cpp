#include "fixture.h"

#include <stdexcept>

#include "support/fs.h"

namespace ziptest {

// The plain file operations are the shared test helpers'; these throw where
// a fixture cannot be laid out, so a broken fixture fails the test at once.
void write_file(const std::string& path, const std::string& bytes) {
  if (!tamsel::test::write_file(path, bytes)) throw std::runtime_error("write " + path);
}

std::string read_file(const std::string& path) { return tamsel::test::read_file(path).value_or(std::string()); }

void make_folder(const std::string& path) { tamsel::test::make_folder(path); }

bool exists(const std::string& path) { return tamsel::test::exists(path); }

void remove_tree(const std::string& path) { tamsel::test::remove_tree(path); }

}  // namespace ziptest
