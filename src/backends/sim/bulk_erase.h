#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "backends/sim/chip_model.h"

namespace quillon {

// What one bulk-erase key clears.
struct EraseScope {
    std::int32_t flash_begin = 0;  // FLASH bytes [flash_begin, flash_end)
    std::int32_t flash_end = 0;
    bool id = false;
    bool config = false;
    bool eeprom = false;
    std::string what;  // for the log: "whole chip", "data EEPROM", "code block 1 002000-003FFF"
};

// The scope of `key` (3C0005 << 8 | 3C0004) on `model`'s family, or nothing for a key the
// family does not accept.
std::optional<EraseScope> bulk_erase_scope(const ChipModel& model, std::uint16_t key);

}  // namespace quillon
