#pragma once
// The MainWindow's controls by their form names, and the two control
// operations the handlers use. Each front end provides a ControlHost; tests
// may install an in-memory one.
#include "backup/text.h"

namespace tamsel {

enum class Control {
  标签4, 标签3, 标签2, 标签1,
  分组框2, 单选框3, 单选框4,
  按钮2, 按钮1,
  分组框1, 单选框1, 单选框2,
};

class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual Text caption(Control label) const = 0;
  virtual void set_caption(Control label, const Text& text) = 0;
  virtual bool selected(Control radio) const = 0;
  // true selects this button only: its partner keeps its state, no event.
  virtual void set_selected(Control radio, bool on) = 0;
};

// The host that the operations below address; set by the front end.
void set_control_host(ControlHost* host);
ControlHost* control_host();

Text caption(Control label);
void set_caption(Control label, const Text& text);
bool selected(Control radio);
void set_selected(Control radio, bool on);

// A host without windows: captions and states kept in memory.
class MemoryControls : public ControlHost {
 public:
  Text caption(Control label) const override;
  void set_caption(Control label, const Text& text) override;
  bool selected(Control radio) const override;
  void set_selected(Control radio, bool on) override;

 private:
  Text captions_[12];
  bool states_[12] = {};
};

}  // namespace tamsel
