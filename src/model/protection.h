#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/memory_image.h"
#include "model/silicon_lines.h"

namespace quillon {

// Code protection as a model's blocks and a set of configuration bytes describe it: CPn (CONFIG5L
// bit n) covers block n, CPB (CONFIG5H bit 6) the boot block, CPD (CONFIG5H bit 7) data EEPROM.
// A bit protects when the part implements it and it is 0.
struct ProtectedArea {
    enum class Kind : std::uint8_t { BootBlock, Block, Eeprom };
    Kind kind = Kind::Block;
    int block = 0;  // for Kind::Block
    bool operator==(const ProtectedArea&) const = default;
};

struct ProtectedAreas {
    std::vector<ProtectedArea> areas;  // each once, in the order found
    void add(const ProtectedArea& area);
    bool empty() const { return areas.empty(); }
};

// The protected area that holds `address` (FLASH, or data EEPROM when `eeprom`), or nothing when
// it is not protected, the model names no blocks, or `config` has not got CONFIG5L/5H yet (-1).
std::optional<ProtectedArea> protected_area(const SiliconTraits& silicon, const ConfigValues& config,
                                            std::int32_t address, bool eeprom);

// Every area that `config` protects on the model.
ProtectedAreas protected_areas(const SiliconTraits& silicon, const ConfigValues& config);

// "boot block 000000-0001FF, block 0 000200-001FFF and data EEPROM".
std::string areas_text(const SiliconTraits& silicon, const ProtectedAreas& areas);

// True when `config` sets any protection bit (CONFIG5L..CONFIG7H) the model implements. Needs the
// model's configuration bits; false without them.
bool sets_protection(const SiliconTraits& silicon, const ConfigValues& config);

// `config` with every protection bit the model implements at 1: the same settings, nothing
// protected.
ConfigValues without_protection(const SiliconTraits& silicon, ConfigValues config);

}  // namespace quillon
