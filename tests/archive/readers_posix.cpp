#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "readers.h"

namespace ziptest {

Ran run_program(const std::vector<std::string>& argv, bool keep_stdout) {
  Ran ran;
  int pipefd[2];
  if (pipe(pipefd) != 0) return ran;
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(keep_stdout ? pipefd[1] : null, 1);
    dup2(pipefd[1], 2);
    close(pipefd[0]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(pipefd[1]);
  char buf[65536];
  ssize_t n;
  while ((n = read(pipefd[0], buf, sizeof buf)) > 0) {
    ran.output.append(buf, static_cast<std::size_t>(n));
    // The end of a long report is what tells the outcome.
    if (ran.output.size() > (4u << 20)) ran.output.erase(0, ran.output.size() - (1u << 20));
  }
  close(pipefd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

namespace {

std::string problem(const Ran& r, const char* who) {
  return std::string(who) + " exited " + std::to_string(r.status) + ":\n" + r.output;
}

bool has(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

}  // namespace

std::string unzip_problem(const std::string& archive) {
  Ran r = run_program({"unzip", "-tq", archive});
  if (r.status != 0 || !has(r.output, "No errors detected")) return problem(r, "unzip -tq");
  return {};
}

std::string sevenzip_problem(const std::string& archive) {
  Ran r = run_program({"7z", "t", archive});
  // 7z exits 0 after some header warnings: its report must be clean too.
  for (const char* bad : {"WARNING", "Warning", "ERROR", "Error", "Unexpected", "Headers"}) {
    if (has(r.output, bad)) return problem(r, "7z t");
  }
  if (r.status != 0 || !has(r.output, "Everything is Ok")) return problem(r, "7z t");
  return {};
}

std::string bsdtar_problem(const std::string& archive) {
  Ran r = run_program({"bsdtar", "-xOf", archive}, false);
  if (r.status != 0 || !r.output.empty()) return problem(r, "bsdtar -xOf");
  return {};
}

std::string python_problem(const std::string& archive, const std::string& source_folder,
                           const std::string& names_encoding) {
  const char* dir = std::getenv("TAMSEL_SOURCE_DIR");
  std::string script = std::string(dir ? dir : ".") + "/tests/archive/read_members.py";
  std::vector<std::string> argv = {"python3", script, archive};
  if (!source_folder.empty()) argv.push_back(source_folder);
  if (!source_folder.empty() && !names_encoding.empty()) argv.push_back(names_encoding);
  Ran r = run_program(argv);
  if (r.status != 0 || r.output.rfind("ok ", 0) != 0) return problem(r, "python zipfile");
  return {};
}

}  // namespace ziptest
