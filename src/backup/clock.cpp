#include "backup/clock.h"

namespace tamsel {

namespace {
ClockSource g_source = nullptr;
}

LocalTime local_now() { return g_source ? g_source() : system_local_now(); }

ClockSource set_clock_source(ClockSource source) {
  ClockSource old = g_source;
  g_source = source;
  return old;
}

}  // namespace tamsel
