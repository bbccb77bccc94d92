#include "help/help_actions.h"

#include <cmath>

#include "app/events.h"
#include "app/program_folder.h"
#include "backup/clock.h"
#include "help/help_window.h"
#include "shell/shell.h"

namespace tamsel {

void create_desktop_shortcut() {
  const Text target = program_folder() + kSeparator + executable_name();
  // desktop_path ends in a separator already; the doubled one is harmless,
  // and with no desktop folder the link lands in the root of the current drive.
  const Text link = desktop_path() + kSeparator + "Tamsel";
  create_shortcut(link, target);
}

void open_homepage() {
  const double remainder = std::fmod(static_cast<double>(local_now().second), 2.0);
  if (std::fabs(remainder - 1.0) <= 0.0000001) {
    shell_open(kFirstHomepage);
  } else {
    shell_open(kSecondHomepage);
  }
}

void attach_help_handlers() {
  MainWindowEvents& events = main_window_events();
  events.button2_clicked = open_help_window;
  events.label4_pressed = open_homepage;
}

}  // namespace tamsel
