// Shell services on Windows, through the ANSI shell functions.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "shell/com_ptr_win32.h"
#include "shell/modal_guard_win32.h"
#include "shell/shell.h"
#include "shell/shell_hooks.h"

namespace tamsel {

namespace {
using PathIsDirectoryFn = BOOL(WINAPI*)(LPCSTR);

// PathIsDirectoryA is bound by name at its first use; the library stays
// loaded for the rest of the run. Without it the program cannot tell files
// from folders, so it says so and ends.
PathIsDirectoryFn path_is_directory() {
  static PathIsDirectoryFn fn = nullptr;
  if (fn) return fn;
  HMODULE dll = LoadLibraryA("shlwapi.dll");
  if (dll) fn = reinterpret_cast<PathIsDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(dll, "PathIsDirectoryA")));
  if (!fn) {
    MessageBoxA(nullptr, "无法载入 shlwapi.dll 中的函数 PathIsDirectoryA，程序将退出。", "Tamselv1.0",
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
  }
  return fn;
}

}  // namespace

// The system reads a path up to its first NUL; a path holding one would
// stand for a shorter path, so it names nothing here.
bool is_folder(const Text& path) {
  PathIsDirectoryFn fn = path_is_directory();
  return path.find('\0') == Text::npos && fn(path.c_str()) != FALSE;
}

bool create_folder(const Text& path) {
  return path.find('\0') == Text::npos && CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void shell_open(const Text& target) {
  if (const OpenHook& hook = open_hook()) {
    hook(target);
    return;
  }
  HWND owner = FindWindowA(nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Text choose_folder(const Text& title) {
  if (const ChooseFolderHook& hook = choose_folder_hook()) return hook(title);
  BROWSEINFOA info{};
  info.hwndOwner = GetActiveWindow();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_EDITBOX;
  PIDLIST_ABSOLUTE item;
  {
    ModalGuard guard;
    item = SHBrowseForFolderA(&info);
  }
  if (!item) return Text();
  char buffer[MAX_PATH] = {};
  Text chosen;
  if (SHGetPathFromIDListA(item, buffer)) chosen = buffer;
  ComPtr<IMalloc> allocator;
  if (SUCCEEDED(SHGetMalloc(allocator.put()))) allocator->Free(item);
  return chosen;
}

Text desktop_path() {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_DESKTOPDIRECTORY, FALSE)) return Text();
  Text path = buffer;
  if (!ends_in_separator(path)) path += '\\';
  return path;
}

bool create_shortcut(const Text& link, const Text& target) {
  Text path = link;
  if (last_position(path, ".") == -1) path += ".lnk";
  if (path.size() >= MAX_PATH) return false;

  ComPtr<IShellLinkA> shell_link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              shell_link.put_void())))
    return false;
  if (FAILED(shell_link->SetPath(target.c_str()))) return false;
  shell_link->SetShowCmd(SW_SHOW);

  wchar_t wide[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return false;
  ComPtr<IPersistFile> file;
  if (FAILED(shell_link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  return SUCCEEDED(file->Save(wide, TRUE));
}

}  // namespace tamsel
