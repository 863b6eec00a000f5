#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

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

// The folder of real HEX files; empty when it is not there.
inline std::filesystem::path hex_corpus() {
    std::filesystem::path dir = QUILLON_HEX_CORPUS_DIR;
    if (const char* from_environment = std::getenv("QUILLON_HEX_CORPUS")) dir = from_environment;
    std::error_code error;
    return std::filesystem::is_directory(dir, error) ? dir : std::filesystem::path();
}

}  // namespace quillon
