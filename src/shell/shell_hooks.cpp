// Storage of the test hooks for the operations that reach outside the program.
#include "shell/shell_hooks.h"

#include <utility>

namespace tamsel {

namespace {
OpenHook& open_hook_slot() {
  static OpenHook hook;
  return hook;
}
ChooseFolderHook& choose_hook_slot() {
  static ChooseFolderHook hook;
  return hook;
}
}  // namespace

void set_open_hook(OpenHook hook) { open_hook_slot() = std::move(hook); }
void set_choose_folder_hook(ChooseFolderHook hook) { choose_hook_slot() = std::move(hook); }
const OpenHook& open_hook() { return open_hook_slot(); }
const ChooseFolderHook& choose_folder_hook() { return choose_hook_slot(); }

}  // namespace tamsel
