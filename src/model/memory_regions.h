#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The memories of the chip an operation covers. A read leaves the buffers of the others as they
// were, a verify or blank check compares only these, and an address loop of a memory left out is
// passed over.
struct MemoryRegions {
    bool flash = true;
    bool eeprom = true;
    bool config = true;

    bool all() const { return flash && eeprom && config; }
    bool operator==(const MemoryRegions&) const = default;
};

inline constexpr MemoryRegions kAllRegions{};
inline constexpr MemoryRegions kWithoutEeprom{true, false, true};

// "flash", "eeprom", "config" or a comma list of them ("flash,config"), in any case and order;
// nothing for an empty list or an unknown name.
std::optional<MemoryRegions> parse_regions(std::string_view text);

// "FLASH and configuration", "data EEPROM", "FLASH, data EEPROM and configuration".
std::string regions_text(const MemoryRegions& regions);

}  // namespace quillon
