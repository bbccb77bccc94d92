#include "app/drop.h"

namespace tamsel {

DropEffect choose_drop_effect(bool acceptable, DragKeys keys, AllowedEffects allowed) {
  if (!acceptable) return DropEffect::None;
  if (keys.ctrl && keys.shift) return DropEffect::None;
  if (keys.ctrl) return allowed.copy ? DropEffect::Copy : DropEffect::None;
  if (keys.shift) return allowed.move ? DropEffect::Move : DropEffect::None;
  if (allowed.copy) return DropEffect::Copy;
  if (allowed.move) return DropEffect::Move;
  if (allowed.link) return DropEffect::Link;
  return DropEffect::None;
}

Text build_drop_list(const std::vector<Text>& paths) {
  if (paths.size() == 1) return paths.front();
  Text list;
  for (const Text& path : paths) {
    list += path;
    list += "\r\n";
  }
  return list;
}

}  // namespace tamsel
