#pragma once

#include <QString>

#include "model/prepare_start.h"

namespace quillon {

// This machine's program folder, separator and device library folders.
StartEnvironment current_start_environment();

// Folder where an installed copy keeps its device library.
QString installed_data_dir();

}  // namespace quillon
