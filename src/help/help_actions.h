#pragma once
// The two actions of the help window, also reached from the main window.

namespace tamsel {

// The maker's two web addresses; open_homepage picks one by the clock.
inline constexpr char kFirstHomepage[] = "https://tamsel.github.io/";
inline constexpr char kSecondHomepage[] = "https://github.com/tamsel/tamsel/releases";

// Writes a shortcut named Tamsel to the running program into the desktop
// folder (rewriting an existing one). Failures are silent.
void create_desktop_shortcut();

// Opens the first homepage when the second of the local time is odd, else the
// second homepage.
void open_homepage();

// Attaches the help handlers to the main window's events: "帮助" opens the
// help window, pressing the status line opens the homepage.
void attach_help_handlers();

}  // namespace tamsel
