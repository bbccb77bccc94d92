#pragma once
// The local wall clock, read once per use. Tests replace the source to pin it.

namespace tamsel {

struct LocalTime {
  int year = 1970;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;  // 0..59
};

using ClockSource = LocalTime (*)();

// The current local time, to the second, from the installed source.
LocalTime local_now();

// Installs another source (nullptr restores the real clock); returns the old one.
ClockSource set_clock_source(ClockSource source);

// The real local clock of the platform.
LocalTime system_local_now();

}  // namespace tamsel
