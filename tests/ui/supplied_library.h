#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "hexfile/hex_test_support.h"
#include "support/temp_dir.h"

namespace quillon {

// The folder of the sources: $QUILLON_SOURCE_DIR, else the one the build was configured with.
inline std::filesystem::path source_dir() {
    if (const char* from_environment = std::getenv("QUILLON_SOURCE_DIR")) return from_environment;
    return QUILLON_SOURCE_DIR_DEFAULT;
}

// The text of the device library the program ships with; empty when it cannot be read.
inline std::string supplied_device_library() {
    return TempDir::read((source_dir() / "data" / "quillondevices.txt").string());
}

}  // namespace quillon
