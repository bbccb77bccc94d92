#include "app/program_folder.h"
#include "settings/settings_file.h"

namespace tamsel {

Text settings_path() { return program_folder() + "\\set.ini"; }

}  // namespace tamsel
