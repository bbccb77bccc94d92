// program_folder and executable_name of a copy of this test program, started
// from a folder and under a name with multi-byte characters. On Windows the
// name is 淺.exe: the second byte of 淺 (0x9C 0x5C) has a backslash's value
// and must not be taken for the separator.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/program_folder.h"
#include "support/fs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace tamsel {
namespace {

constexpr const char* kPrintMode = "--print-program-folder";

#ifdef _WIN32
const Text kFolderName = "\xCE\xC4 \xC4\xBF";  // 文 目
const Text kExeName = "\x9C\x5C.exe";            // 淺.exe

Text own_path() {
  char buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return n == 0 || n >= sizeof buffer ? Text() : Text(buffer, n);
}

// Runs the program with the print mode; true when it exited with 0.
bool run(const Text& exe, const Text& out) {
  Text command = "\"" + exe + "\" " + kPrintMode + " \"" + out + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}
#else
const Text kFolderName = "文 目";
const Text kExeName = "淺.bin";

Text own_path() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  return n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer ? Text() : Text(buffer, static_cast<std::size_t>(n));
}

bool run(const Text& exe, const Text& out) {
  std::vector<Text> args = {exe, kPrintMode, out};
  std::vector<char*> argv;
  for (Text& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (chmod(exe.c_str(), 0755) != 0 || posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

TEST(ProgramFolder, IsTheFolderOfTheRunningProgramWithoutASeparator) {
  test::TempFolder tmp;
  const Text folder = tmp / kFolderName;
  ASSERT_TRUE(test::make_folder(folder));
  const auto image = test::read_file(own_path());
  ASSERT_TRUE(image);
  const Text exe = folder + kSeparator + kExeName;
  ASSERT_TRUE(test::write_file(exe, *image));
  const Text out = tmp / "seen.txt";
  ASSERT_TRUE(run(exe, out));
  EXPECT_EQ(test::read_file(out), folder + "\n" + kExeName + "\n");
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], tamsel::kPrintMode) == 0) {
    return tamsel::test::write_file(argv[2], tamsel::program_folder() + "\n" + tamsel::executable_name() + "\n") ? 0
                                                                                                                  : 1;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
