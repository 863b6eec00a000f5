#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/memory_image.h"
#include "model/config_settings.h"

namespace quillon {

// The model lines that say how strict the chip is: which configuration bits exist, how long each
// kind of cell is pulsed, how long the clock rests after a pulse, and which FLASH blocks the
// protection bits cover. Each is a "key: value" line that a reader without them passes over as a
// comment, so a library that gives them still serves such a reader, and a model without them
// works exactly as before.
//
//   configbits:  00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40   implemented bits, as configerased
//   codepulse:   1        ms, code and ID cells (the programming time the user may change)
//   configpulse: 5        ms, configuration cells
//   discharge:   5        us, the clock stays low this long after each pulse (P10)
//   bootblock:   000000-0001FF                       covered by CPB (CONFIG5H bit 6)
//   codeblocks:  000200-001FFF 002000-003FFF ...    block n covered by CPn (CONFIG5L bit n)
//   configalg:   1        slot of configalgdef: a script that writes the configuration alone
//   keepeepromalg: 1      slot of keepeepromalgdef: a program script whose erase leaves the data
//                         EEPROM as it is (partial erase keys)
//   deviceid:    0420 FFE0  the word at 3FFFFF:3FFFFE and the bits of it that name the part
//                          (the rest, REV4:REV0 on every PIC18 here, is the silicon revision)

struct AddressRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
    bool contains(std::int32_t address) const { return address >= first && address <= last; }
    bool operator==(const AddressRange&) const = default;
};

// The FLASH blocks the code protection bits cover; empty when the model names none.
struct ProtectionBlocks {
    std::optional<AddressRange> boot;
    std::vector<AddressRange> blocks;  // block 0, 1, ...
    bool empty() const { return !boot && blocks.empty(); }
    bool operator==(const ProtectionBlocks&) const = default;
};

// What a model's chip answers at 3FFFFE/3FFFFF: `id` in the bits of `mask`.
struct DeviceId {
    std::uint16_t id = 0;
    std::uint16_t mask = 0;
    bool matches(int word) const { return (word & mask) == id; }
    bool operator==(const DeviceId&) const = default;
};

// A model's values from these lines; each one absent or unreadable leaves things as before.
struct SiliconTraits {
    std::optional<ConfigValues> config_bits;  // none: all eight bits of every byte count
    std::int32_t config_pulse_ms = 0;         // 0: configuration cells get the code pulse too
    std::int32_t discharge_us = -1;           // -1: none given
    ProtectionBlocks protection;
    std::optional<DeviceId> device_id;  // none: the chip in the socket is not asked who it is
    std::vector<ConfigSetting> settings;  // the readable "setting:" lines (model/config_settings.h)

    // The bits of configuration byte k (1..14) that exist: FF when the model does not say.
    int bits(int k) const { return config_bits ? (*config_bits)(k) : 0xFF; }
};

inline constexpr std::int32_t kMinPulseMs = 1;
inline constexpr std::int32_t kMaxPulseMs = 30;
inline constexpr std::int32_t kMaxDischargeUs = 10000;

// Each parser gives nothing for a value it cannot read; silicon_line_error says why.
std::optional<ConfigValues> parse_config_bits(std::string_view text);
std::optional<std::int32_t> parse_pulse_ms(std::string_view text);
std::optional<std::int32_t> parse_discharge_us(std::string_view text);
std::optional<AddressRange> parse_address_range(std::string_view text);
std::optional<std::vector<AddressRange>> parse_address_ranges(std::string_view text);
// Two groups of four hexadecimal digits, the ID with no bit outside a mask that is not 0.
std::optional<DeviceId> parse_device_id(std::string_view text);

// What is wrong with the value of one of the lines above ("configbits:" with its colon), one
// sentence without a final stop; empty when the value is readable or the key is none of them.
std::string silicon_line_error(std::string_view key, std::string_view value);

// "000200-001FFF" for a range; "boot block 000000-0001FF" and "block 0 000200-001FFF" for blocks.
std::string range_text(const AddressRange& range);

// The configuration bytes that carry protection: CONFIG5L (9) to CONFIG7H (14).
inline constexpr int kFirstProtectionByte = 9;

}  // namespace quillon
