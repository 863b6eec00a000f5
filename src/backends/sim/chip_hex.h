#pragma once

#include <string>
#include <string_view>

#include "backends/sim/chip_memory.h"
#include "backends/sim/chip_model.h"
#include "base/result.h"

namespace quillon {

// A simulated chip's memories in an Intel HEX file, so that the chip keeps its contents between
// runs: FLASH from 0, ID locations at 0x200000, configuration at 0x300000, EEPROM at 0xF00000.

// FLASH and EEPROM rows that are all FF are left out; ID and configuration are always written.
std::string chip_memory_to_hex(const ChipMemory& memory);

// Reads HEX text into `memory`: first erased for `model`, then the records applied. A malformed
// record, a byte outside the chip's memories or a missing end record fails the whole load and
// leaves `memory` as it was; the error names the line of a malformed record.
Result<> chip_memory_from_hex(std::string_view text, const ChipModel& model, ChipMemory& memory);

// The same through a file. Saving writes a temporary file beside `path` and renames it, so an
// earlier file is never left half-overwritten.
Result<> save_chip_file(const std::string& path, const ChipMemory& memory);
Result<> load_chip_file(const std::string& path, const ChipModel& model, ChipMemory& memory);

}  // namespace quillon
