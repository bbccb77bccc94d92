#include <windows.h>

#include "backup/clock.h"

namespace tamsel {

LocalTime system_local_now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace tamsel
