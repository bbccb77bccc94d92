// Where the handlers of the other subsystems attach to the MainWindow's
// events (main_window_events()). An event without a handler does nothing.
#include "app/events.h"
#include "app/main_window.h"
#include "backup/run_backup.h"
#include "help/help_actions.h"
#include "settings/settings_handlers.h"

namespace tamsel {

void attach_handlers() {
  attach_settings_handlers();
  attach_backup_handler();
  attach_help_handlers();
}

}  // namespace tamsel
