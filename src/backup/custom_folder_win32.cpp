#include "backup/custom_folder.h"

namespace tamsel {

Text empty_custom_folder() { return Text(); }

}  // namespace tamsel
