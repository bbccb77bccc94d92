// Shell services on Linux: POSIX file operations, the desktop's default
// handler for opening, freedesktop launchers for shortcuts.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "shell/desktop_entry.h"
#include "shell/shell.h"
#include "shell/shell_hooks.h"
#include "shell/xdg_dirs.h"

namespace tamsel {

bool is_folder(const Text& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool create_folder(const Text& path) { return !path.empty() && mkdir(path.c_str(), 0777) == 0; }

namespace {
// Starts the program detached (its own session, reaped at once by the
// intermediate child), so the window never waits for it.
void start_detached(const std::vector<Text>& argv) {
  std::vector<char*> args;
  for (const Text& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild == 0) {
      int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, STDIN_FILENO);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
        if (devnull > STDERR_FILENO) close(devnull);
      }
      execvp(args[0], args.data());
    }
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}
}  // namespace

void shell_open(const Text& target) {
  if (const OpenHook& hook = open_hook()) {
    hook(target);
    return;
  }
  if (target.empty()) return;
  start_detached({"xdg-open", target});
}

Text desktop_path() {
  Text desktop = xdg_desktop_folder();
  if (desktop.empty()) return Text();
  if (desktop.back() != '/') desktop += '/';
  return desktop;
}

bool create_shortcut(const Text& link, const Text& target) {
  Text path = link;
  if (path.find('.') == Text::npos) path += ".desktop";
  const Text content = desktop_entry_for(target);
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  bool ok = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  ok = fchmod(fd, 0755) == 0 && ok;
  ok = close(fd) == 0 && ok;
  return ok;
}

}  // namespace tamsel
