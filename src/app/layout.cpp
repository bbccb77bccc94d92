#include "app/layout.h"

#include <array>

namespace tamsel {

namespace {
using K = ControlKind;
using C = Control;

const std::array<ControlEntry, 12> kControls = {{
    {C::标签4, K::Label, kCreditLine, 6, 226, 184, 16, std::nullopt},
    {C::标签3, K::Label, "\r\n   拖放“文件”，或“文件夹”到“窗体”，即可完成备份。\r\n", -1, 0, 186, 56,
     std::nullopt},
    {C::标签2, K::Label, "自定义备份目录:", 8, 106, 112, 16, std::nullopt},
    {C::标签1, K::Label, "", 8, 130, 168, 16, std::nullopt},
    {C::分组框2, K::GroupBox, "备份目录", 0, 67, 186, 37, std::nullopt},
    {C::单选框3, K::RadioButton, "默认", 6, 15, 77, 17, C::分组框2},
    {C::单选框4, K::RadioButton, "自定义", 97, 15, 77, 17, C::分组框2},
    {C::按钮2, K::PushButton, "帮助", 106, 195, 54, 24, std::nullopt},
    {C::按钮1, K::PushButton, "设置", 18, 195, 54, 24, std::nullopt},
    {C::分组框1, K::GroupBox, "压缩选项", 0, 154, 186, 37, std::nullopt},
    {C::单选框1, K::RadioButton, "no", 108, 16, 43, 12, C::分组框1},
    {C::单选框2, K::RadioButton, "yes", 10, 16, 43, 12, C::分组框1},
}};
}  // namespace

std::span<const ControlEntry> main_window_controls() { return kControls; }

const ControlEntry& control_entry(Control id) {
  for (const ControlEntry& entry : kControls) {
    if (entry.id == id) return entry;
  }
  return kControls.front();
}

Control radio_partner(Control radio) {
  switch (radio) {
    case C::单选框1: return C::单选框2;
    case C::单选框2: return C::单选框1;
    case C::单选框3: return C::单选框4;
    case C::单选框4: return C::单选框3;
    default: return radio;
  }
}

Point centred_origin(int screen_width, int screen_height) {
  return {(screen_width - kMainWindowWidth) / 2, (screen_height - kMainWindowHeight) / 2};
}

}  // namespace tamsel
