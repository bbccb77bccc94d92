#pragma once
// Runs Debian's ZIP readers on an archive (Linux): unzip -t, 7z t, bsdtar
// and Python's zipfile; each check returns "" or what the reader said.
#include <string>
#include <vector>

namespace ziptest {

struct Ran {
  int status = -1;
  std::string output;  // stdout and stderr
};

// Starts the program with its argument vector; stdout is dropped when
// keep_stdout is false.
Ran run_program(const std::vector<std::string>& argv, bool keep_stdout = true);

std::string unzip_problem(const std::string& archive);
std::string sevenzip_problem(const std::string& archive);
std::string bsdtar_problem(const std::string& archive);
// With a source folder, every member's content is compared with its file.
// names_encoding: how the names are written ("" for the file names' bytes).
std::string python_problem(const std::string& archive, const std::string& source_folder,
                           const std::string& names_encoding = "");

}  // namespace ziptest
