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

namespace {
// The system reads a path up to its first NUL; a path holding one would
// stand for a shorter path, so it names nothing here.
bool usable(const Text& path) { return !path.empty() && path.find('\0') == Text::npos; }
}  // namespace

bool is_folder(const Text& path) {
  struct stat st;
  return usable(path) && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool create_folder(const Text& path) { return usable(path) && mkdir(path.c_str(), 0777) == 0; }

namespace {
void close_descriptors_from(int first) {
  if (close_range(static_cast<unsigned>(first), ~0U, 0) == 0) return;
  const long limit = sysconf(_SC_OPEN_MAX);
  for (long fd = first; fd < (limit > 0 ? limit : 1024); ++fd) close(static_cast<int>(fd));
}

// Starts the program detached (its own session, reaped at once by the
// intermediate child), so the window never waits for it. It gets /dev/null
// for its standard streams and none of the program's other descriptors: a
// file manager or browser may live long after the program has ended.
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
      close_descriptors_from(STDERR_FILENO + 1);
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

// The launcher is written under a temporary name beside the link and then
// renamed into place: a half-written launcher never shows, and a file or
// link already at the link path is replaced, never written through.
bool create_shortcut(const Text& link, const Text& target) {
  Text path = link;
  if (path.find('.') == Text::npos) path += ".desktop";
  if (path.empty() || path.find('\0') != Text::npos) return false;
  const std::size_t slash = path.rfind('/');
  const Text folder = slash == Text::npos ? Text() : path.substr(0, slash + 1);
  const Text name = slash == Text::npos ? path : path.substr(slash + 1);
  Text temp = folder + "." + name + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const Text content = desktop_entry_for(target);
  bool ok = true;
  for (std::size_t done = 0; ok && done < content.size();) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = fchmod(fd, 0755) == 0 && ok;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace tamsel
