// shell_copy on Windows: the shell's own copy with its progress dialog and
// its questions, while the program's windows are disabled.
#include <windows.h>
#include <shellapi.h>

#include "shell/modal_guard_win32.h"
#include "shell/shell.h"

namespace tamsel {

namespace {

// The shell reads a list of paths, each ended by a NUL, the list by another.
Text path_list(const Text& path) {
  Text list = path;
  list.append(2, '\0');
  return list;
}

}  // namespace

bool shell_copy(const Text& target, const Text& source) {
  // A NUL inside a path would turn it into a list of several; an empty
  // target would make the shell copy into the working folder.
  if (source.empty() || target.empty()) return false;
  if (source.find('\0') != Text::npos || target.find('\0') != Text::npos) return false;
  const Text from = path_list(source);
  const Text to = path_list(target);

  SHFILEOPSTRUCTA op = {};
  op.hwnd = nullptr;
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = 0;
  op.fAnyOperationsAborted = FALSE;
  op.hNameMappings = nullptr;
  op.lpszProgressTitle = nullptr;

  int result;
  {
    ModalGuard guard;
    result = SHFileOperationA(&op);
  }
  return result == 0 && op.fAnyOperationsAborted == FALSE;
}

}  // namespace tamsel
