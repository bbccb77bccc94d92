#include "app/controls.h"

namespace tamsel {

namespace {
ControlHost* g_host = nullptr;
int index_of(Control c) { return static_cast<int>(c); }
}  // namespace

void set_control_host(ControlHost* host) { g_host = host; }
ControlHost* control_host() { return g_host; }

Text caption(Control label) { return g_host ? g_host->caption(label) : Text(); }
void set_caption(Control label, const Text& text) {
  if (g_host) g_host->set_caption(label, text);
}
bool selected(Control radio) { return g_host && g_host->selected(radio); }
void set_selected(Control radio, bool on) {
  if (g_host) g_host->set_selected(radio, on);
}

Text MemoryControls::caption(Control label) const { return captions_[index_of(label)]; }
void MemoryControls::set_caption(Control label, const Text& text) { captions_[index_of(label)] = text; }
bool MemoryControls::selected(Control radio) const { return states_[index_of(radio)]; }
void MemoryControls::set_selected(Control radio, bool on) { states_[index_of(radio)] = on; }

}  // namespace tamsel
