#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "backends/sim/sim_board.h"
#include "engine/script/programmer_lines.h"
#include "support/recording_host.h"

namespace quillon {

// A simulated board with a chip in its socket, driven through the real line primitives on a
// fake clock, and the ICSP sequences a device library would send, written out by hand.
struct SimBench {
    explicit SimBench(std::string_view model) : chip(make_chip(model, clock, log)) {
        board.insert_chip(chip.get());
    }

    FakeClock clock;
    SimLog log;
    RecordingHost host;
    std::unique_ptr<Pic18Chip> chip;
    SimBoard board{clock, log};
    ProgrammerLines lines{board, host, clock};

    // Knobs for the sequences below; a test sets one wrong to see the chip refuse it.
    std::int32_t prog_time_ms = 2;
    std::int32_t config_time_ms = 5;
    bool nop_before_shift_out = true;  // family B: a NOP between MOVWF TABLAT and the 0010
    bool send_pulse = true;
    std::uint8_t low_pointer_register = 0xF6;  // TBLPTRL
    std::uint16_t erase_key = 0;               // 0: the family's whole-chip key

    ChipFamily family() const { return chip->model().family; }
    void power_up() { lines.power_up(1); }
    void power_down() { lines.power_down(); }
    void core(std::uint16_t word) { lines.send_command(0, word); }
    void set_table_pointer(std::uint32_t address);
    void bulk_erase();
    void begin_code_writes();  // EECON1 (and on A and C the single-panel select) for code and ID writes
    void write_block(std::uint32_t address, std::span<const std::uint8_t> bytes);
    void write_eeprom(std::int32_t address, std::uint8_t value);
    void write_config(int index, std::uint8_t value);  // index 0 = CONFIG1L
    std::vector<std::uint8_t> read_program(std::uint32_t address, std::size_t count);
    std::uint8_t read_eeprom(std::int32_t address);
    void shift_out_nop();
    bool log_has(std::string_view text) const { return log.contains(text); }
};

}  // namespace quillon
