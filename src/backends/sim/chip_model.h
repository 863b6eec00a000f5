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
    // P9: PGC held high on the fourth clock after a start-programming write. One value for code, ID
    // and configuration writes (1 ms; one source asks 5 ms for configuration, the device library
    // gives at least 1-2 ms, so 1 ms keeps the simulator at the chip's own minimum).
    std::chrono::nanoseconds program_hold;
    // P10: high-voltage discharge. A bulk erase keeps the chip busy for P11 + P10. After a
    // programming pulse the cells hold their data once PGC falls (the high voltage acted during
    // P9), so P10 there is not enforced: the programming primitive leaves no time for it, and on
    // a real port the line changes that follow take longer than P10 anyway.
    std::chrono::nanoseconds discharge;
    // P11: bulk erase.
    std::chrono::nanoseconds bulk_erase;
    // Data EEPROM write: WR stays set this long. No source gives it; 4 ms is the data sheets'
    // typical self-timed write.
    std::chrono::nanoseconds eeprom_write;
};

using ChipConfig = std::array<std::uint8_t, kConfigByteCount>;  // CONFIG1L..CONFIG7H

// One chip type as the simulator models it.
struct ChipModel {
    std::string name;
    ChipFamily family = ChipFamily::A;
    std::int32_t flash_size = 0;
    std::int32_t eeprom_size = 0;
    std::uint16_t device_id = 0;  // 3FFFFF << 8 | 3FFFFE, revision bits clear
    ChipConfig blank_config{};    // what a bulk erase leaves in CONFIG1L..CONFIG7H
    std::int32_t write_buffer_size = 0;
    // Bit k - 1 set: CONFIGk does not exist on this part; it reads 00 and ignores writes.
    std::uint16_t missing_config = 0;
    ChipTiming timing{};

    // Index 0 = CONFIG1L.
    bool has_config(int index) const {
        return index >= 0 && index < kConfigByteCount && !((missing_config >> index) & 1);
    }
};

// The model of that exact name ("PIC18F452"), or nothing for a name the simulator does not know.
std::optional<ChipModel> find_chip_model(std::string_view name);

// Every known model name, family A first.
std::vector<std::string> chip_model_names();

}  // namespace quillon
