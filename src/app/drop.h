#pragma once
// Drop rules shared by both front ends: which effect a drag gets, and the
// DropList text one drop delivers.
#include <vector>

#include "backup/text.h"

namespace tamsel {

enum class DropEffect { None, Copy, Move, Link };

struct DragKeys {
  bool ctrl = false;
  bool shift = false;
};

struct AllowedEffects {
  bool copy = false;
  bool move = false;
  bool link = false;
};

DropEffect choose_drop_effect(bool acceptable, DragKeys keys, AllowedEffects allowed);

// One path alone; otherwise every path followed by CR LF; empty for none.
Text build_drop_list(const std::vector<Text>& paths);

}  // namespace tamsel
