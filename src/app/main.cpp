// The program's entry: the handlers attach to the MainWindow's events, then
// the program runs until its window closes.
#include "app/main_window.h"

int main() {
  tamsel::attach_handlers();
  return tamsel::program_start();
}
