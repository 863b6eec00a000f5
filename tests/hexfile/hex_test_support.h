#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/hex_text.h"
#include "base/memory_image.h"

namespace quillon {

// An erased image of the given sizes, configuration bytes 1..14 holding 0xF1..0xFE so that a test
// sees which ones a file changed.
inline MemoryImage erased_image(std::size_t flash_size, std::size_t eeprom_size) {
    MemoryImage image;
    image.flash.assign(flash_size, kErasedByte);
    image.eeprom.assign(eeprom_size, kErasedByte);
    for (int k = 1; k <= kConfigByteCount; ++k)
        image.config(k) = 0xF0 + k;
    return image;
}

// Whether two images hold the same bytes in all three buffers.
inline bool same_contents(const MemoryImage& a, const MemoryImage& b) {
    return a.flash == b.flash && a.eeprom == b.eeprom && a.config == b.config;
}

// One record line with a correct checksum: ":" + fields + checksum. `fields` is count, address,
// type and data as text, so a test can put any characters into them.
inline std::string record(const std::string& fields) {
    return ":" + fields + hex_checksum(fields);
}

// A type 00 record of `data` (hex digits) at `address`.
inline std::string data_record(std::int32_t address, const std::string& data) {
    return record(hex2(static_cast<std::int32_t>(data.size() / 2)) + hex4(address) + "00" + data);
}

// A type 04 record for the upper 16 address bits `upper`.
inline std::string linear_record(std::int32_t upper) {
    return record("02000004" + hex4(upper));
}

// The folder of real HEX files: $QUILLON_HEX_CORPUS, else the one the build was configured with.
// Empty when neither exists.
inline std::filesystem::path hex_corpus_dir() {
    std::filesystem::path dir;
    if (const char* from_environment = std::getenv("QUILLON_HEX_CORPUS")) dir = from_environment;
#ifdef QUILLON_HEX_CORPUS_DIR
    else
        dir = QUILLON_HEX_CORPUS_DIR;
#endif
    std::error_code error;
    return std::filesystem::is_directory(dir, error) ? dir : std::filesystem::path();
}

}  // namespace quillon
