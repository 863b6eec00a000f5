#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "backends/sim/chip_model.h"

namespace quillon {

// The PIC18 program-space map as the chip's table pointer sees it. EEPROM has no program-space
// address; 0xF00000 is only where HEX files keep it.
inline constexpr std::uint32_t kIdAddress = 0x200000;
inline constexpr int kIdSize = 8;
inline constexpr std::uint32_t kConfigAddress = 0x300000;
inline constexpr std::uint32_t kDeviceIdAddress = 0x3FFFFE;
inline constexpr std::uint32_t kHexEepromAddress = 0xF00000;

// What a chip keeps with its supply off.
struct ChipMemory {
    std::vector<std::uint8_t> flash;
    std::vector<std::uint8_t> eeprom;
    std::array<std::uint8_t, kIdSize> id{};
    ChipConfig config{};

    bool operator==(const ChipMemory&) const = default;
};

// The configuration bytes after a bulk erase: the blank values, 00 where a byte does not exist.
ChipConfig erased_config(const ChipModel& model);

// A chip straight after a bulk erase: FLASH, EEPROM and ID all FF, configuration blank.
ChipMemory erased_memory(const ChipModel& model);

// Protection as the configuration bytes of `memory` set it: a bit protects when the part
// implements it and it reads 0. Code protection (CP0.., CPB in CONFIG5L/5H) makes external reads
// of a block return 00 and CPD those of data EEPROM; write protection (WRT0.., WRTB, WRTD in
// CONFIG6L/6H) makes writes there do nothing.
enum class Protection { Code, Write };
bool block_protected(const ChipMemory& memory, const ChipModel& model, const CodeBlock& block,
                     Protection kind);
bool eeprom_protected(const ChipMemory& memory, const ChipModel& model, Protection kind);

// The byte a table read returns at `address`; 00 where nothing is implemented or the code is
// protected.
std::uint8_t read_program_space(const ChipMemory& memory, const ChipModel& model, std::uint32_t address);

}  // namespace quillon
