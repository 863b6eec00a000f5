#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/memory_image.h"

namespace quillon {

// The three PIC18 programming families the simulator knows:
// A = PIC18FXX2/XX8, B = PIC18F2XXX/4XXX, C = PIC18F1220/1320/2220/2320/4220/4320.
enum class ChipFamily : std::uint8_t { A, B, C };

const char* family_name(ChipFamily family);  // "A", "B", "C"

// How long the chip needs for each timed step.
struct ChipTiming {
    // P9: PGC held high on the fourth clock after a start-programming write to code or ID memory.
    std::chrono::nanoseconds program_hold;
    // The same for a configuration byte. Sources give 1 ms or 5 ms; the chip asks the longer one,
    // so that a library that only meets the shorter fails here rather than on some silicon.
    std::chrono::nanoseconds config_hold;
    // P10: high-voltage discharge. After a programming pulse PGC must stay low this long before it
    // rises again, or the cells do not keep what the pulse wrote; a bulk erase keeps the chip busy
    // for P11 + P10.
    std::chrono::nanoseconds discharge;
    // P11: bulk erase.
    std::chrono::nanoseconds bulk_erase;
    // Data EEPROM write: WR stays set this long. No source gives it; 4 ms is the data sheets'
    // typical self-timed write.
    std::chrono::nanoseconds eeprom_write;
};

using ChipConfig = std::array<std::uint8_t, kConfigByteCount>;  // CONFIG1L..CONFIG7H

// Which part of FLASH an address is in, for code and write protection.
struct CodeBlock {
    int number = -1;  // -1 for the boot block, 0.. for block 0..
    std::uint32_t begin = 0;
    std::uint32_t end = 0;  // one past the last byte
};

// One chip type as the simulator models it.
struct ChipModel {
    std::string name;
    ChipFamily family = ChipFamily::A;
    std::int32_t flash_size = 0;
    std::int32_t eeprom_size = 0;
    std::uint16_t device_id = 0;  // 3FFFFF << 8 | 3FFFFE, revision bits clear
    std::uint8_t revision = 0;    // REV4:REV0, in the low five bits of 3FFFFE
    ChipConfig blank_config{};    // what a bulk erase leaves in CONFIG1L..CONFIG7H
    // The bits each configuration byte implements; the others read 0 and ignore writes. A byte
    // with none does not exist on the part.
    ChipConfig config_bits{};
    std::int32_t write_buffer_size = 0;
    // Protection blocks: the boot block from 0, then blocks of block_size bytes, block 0 starting
    // where the boot block ends. 0: the part has no protection blocks.
    std::uint32_t boot_block_size = 0;
    std::uint32_t block_size = 0;
    ChipTiming timing{};

    // Index 0 = CONFIG1L.
    bool has_config(int index) const {
        return index >= 0 && index < kConfigByteCount && config_bits[static_cast<std::size_t>(index)] != 0;
    }
    // The protection block that holds FLASH address `address`, or nothing outside FLASH or on a
    // part without blocks.
    std::optional<CodeBlock> code_block(std::uint32_t address) const;
};

// The model of that exact name ("PIC18F452"), or nothing for a name the simulator does not know.
std::optional<ChipModel> find_chip_model(std::string_view name);

// Every known model name, family A first.
std::vector<std::string> chip_model_names();

}  // namespace quillon
