#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace quillon {

inline constexpr int kConfigByteCount = 14;

// Fourteen configuration values numbered 1 (CONFIG1L) to 14 (CONFIG7H), called as bytes(k).
// Entries are bytes 0..255; -1 marks an erased value that the device file gave unreadably.
struct ConfigValues {
    std::array<std::int32_t, kConfigByteCount> value{};

    std::int32_t& operator()(int k) { return value.at(static_cast<std::size_t>(k - 1)); }
    std::int32_t operator()(int k) const { return value.at(static_cast<std::size_t>(k - 1)); }
    bool operator==(const ConfigValues&) const = default;
};

using FlashBuffer = std::vector<std::uint8_t>;  // FLASH byte address = index
using EepromBuffer =
    std::vector<std::uint8_t>;     // EEPROM byte address = index (0xF00000 + index in HEX files)
using ConfigBytes = ConfigValues;  // chip address 0x300000 + k - 1

inline constexpr std::uint8_t kErasedByte = 0xFF;
inline constexpr std::int32_t kConfigBaseAddress = 0x300000;

// The one image of the target chip's memories.
struct MemoryImage {
    FlashBuffer flash;
    EepromBuffer eeprom;
    ConfigBytes config;
    // One past the highest FLASH address the last HEX load stored a byte at (a high-water mark).
    std::int32_t loaded_flash_end = 0;
};

}  // namespace quillon
