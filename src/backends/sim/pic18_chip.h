#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "backends/sim/bulk_erase.h"
#include "backends/sim/chip_memory.h"
#include "backends/sim/chip_model.h"
#include "backends/sim/icsp_shifter.h"
#include "backends/sim/sim_log.h"
#include "base/clock.h"

namespace quillon {

// A PIC18 in its socket, seen from the ICSP pins: supply, PGC and PGD. It follows single clock
// edges, runs the core instructions that programming sequences use, times programming, erasing
// and EEPROM writes on the clock it is given, and writes every refusal to the log.
//
// Time is read from the clock whenever a pin changes; an operation whose time has run out is
// finished at the next pin change (or by settle()).
class Pic18Chip {
  public:
    Pic18Chip(ChipModel model, Clock& clock, SimLog& log);

    // The board's side. The chip enters programming mode only when PGC and PGD are both low as
    // the supply rises; otherwise it ignores the lines until the supply has been off again.
    void set_supply(bool on, bool pgc, bool pgd);
    void set_pgc(bool level);
    void set_pgd(bool level);
    // True while the chip shifts a byte out and so drives PGD.
    bool drives_pgd() const { return driving_; }
    bool pgd_output() const { return out_bit_; }

    // Finishes what has run its course by now: a bulk erase, a data EEPROM write.
    void settle();

    const ChipModel& model() const { return model_; }
    ChipMemory& memory() { return memory_; }
    const ChipMemory& memory() const { return memory_; }
    bool powered() const { return mode_ != Mode::Off; }
    bool in_programming_mode() const { return mode_ == Mode::Programming; }
    bool erasing() const { return erase_.has_value(); }

    // Registers, for tests and diagnostics.
    std::uint32_t table_pointer() const { return tblptr_; }
    std::uint8_t tablat() const { return tablat_; }
    std::uint8_t eecon1() const { return eecon1_; }
    std::uint8_t w() const { return w_; }

  private:
    enum class Mode { Off, Programming, Refused };

    struct Erase {
        std::chrono::nanoseconds started;
        std::chrono::nanoseconds done;
        EraseScope scope;
    };
    // A programming pulse that has ended: the cells keep it once PGC has stayed low for P10.
    struct PendingProgram {
        std::chrono::nanoseconds fall;
        std::uint32_t address;
        std::vector<std::uint8_t> data;
    };
    struct EepromWrite {
        std::chrono::nanoseconds done;
        std::int32_t address;
        std::uint8_t value;
    };

    // Frames (pic18_chip.cpp).
    void rising_edge();
    void falling_edge();
    void command_latched();
    void frame_complete();
    bool refused_while_erasing(bool harmless);
    void power_off();
    void reset_registers();
    std::chrono::nanoseconds now() { return clock_.now(); }

    // Core instructions and registers (pic18_core.cpp).
    void execute_core(std::uint16_t word);
    std::uint8_t read_register(std::uint8_t f) const;
    void write_register(std::uint8_t f, std::uint8_t value);
    void write_eecon1(std::uint8_t value);
    void start_eeprom_write();
    std::int32_t eeprom_address() const;

    // Table reads and writes, programming and erasing (pic18_table.cpp).
    void table_read(int command);
    void table_write(int command, std::uint16_t word);
    void write_control_register(std::uint32_t address, std::uint8_t value);
    void end_programming(std::chrono::nanoseconds held);
    void commit_programming();
    void lose_programming(const std::string& why);
    void program_config(std::uint32_t address, std::uint8_t value);
    void program_page(std::uint32_t address, const std::vector<std::uint8_t>& data);
    void apply_erase(const EraseScope& scope);

    ChipModel model_;
    Clock& clock_;
    SimLog& log_;
    ChipMemory memory_;

    Mode mode_ = Mode::Off;
    bool pgc_ = false;
    bool pgd_ = false;
    IcspShifter shifter_;

    // Shifting a byte out.
    bool frame_reads_ = false;
    bool frame_ignored_ = false;
    std::uint8_t shift_value_ = 0;
    bool driving_ = false;
    bool out_bit_ = false;

    // Registers.
    std::uint32_t tblptr_ = 0;  // 22 bits: TBLPTRU holds 6
    std::uint8_t tablat_ = 0;
    std::uint8_t w_ = 0;
    std::uint8_t eecon1_ = 0;
    std::uint8_t eedata_ = 0;
    std::uint8_t eeadr_ = 0;
    std::uint8_t eeadrh_ = 0;
    int unlock_stage_ = 0;             // 1 after 55 went to EECON2, 2 after AA followed
    int unlock_before_ = 0;            // the stage before the instruction being executed
    std::uint8_t erase_key_low_ = 0;   // 3C0004
    std::uint8_t erase_key_high_ = 0;  // 3C0005
    std::uint8_t panel_mode_ = 0;      // 3C0006 (family A)
    std::vector<std::uint8_t> write_buffer_;

    // Programming: armed by a start-programming write, timed on the next frame's fourth clock.
    std::optional<std::uint32_t> armed_address_;
    std::optional<std::chrono::nanoseconds> pulse_rise_;
    std::optional<PendingProgram> pending_program_;

    // Family B: a 0010 shift-out that directly follows a core instruction writing TABLAT shifts
    // out the value TABLAT held before it.
    bool tablat_written_ = false;
    std::optional<std::uint8_t> stale_tablat_;

    std::optional<EraseScope> erase_armed_;
    std::optional<Erase> erase_;
    std::optional<EepromWrite> eeprom_write_;
};

// A chip of the named model ("PIC18F452"), or nothing when the simulator does not know the name.
std::unique_ptr<Pic18Chip> make_chip(std::string_view model_name, Clock& clock, SimLog& log);

}  // namespace quillon
