#pragma once

#include <string>
#include <string_view>

#include "base/memory_image.h"
#include "base/result.h"

namespace quillon {

// Where the chip's data EEPROM is kept while a program that keeps it runs: beside the image,
// "board.hex" -> "board-eeprom-backup.hex". A name already taken gets a number
// ("board-eeprom-backup-2.hex"): an older copy may be the only one left of a chip whose run failed
// after its erase, so it is never overwritten.
std::string free_eeprom_backup_path(std::string_view image_path);

// Writes `chip` (its data EEPROM and configuration; FLASH empty) as a HEX file at a free backup
// path beside `image_path`, completely or not at all; the path of the file written.
Result<std::string> save_eeprom_backup(std::string_view image_path, const MemoryImage& chip);

}  // namespace quillon
