#include "app/events.h"

namespace tamsel {

MainWindowEvents& main_window_events() {
  static MainWindowEvents events;
  return events;
}

}  // namespace tamsel
