#include "backends/sim/pic18_chip.h"

#include <algorithm>

#include "backends/sim/pic18_registers.h"
#include "backends/sim/sim_text.h"
#include "base/hex_text.h"

namespace quillon {

using namespace pic18;

Pic18Chip::Pic18Chip(ChipModel model, Clock& clock, SimLog& log)
    : model_(std::move(model)), clock_(clock), log_(log) {
    // A hand-made model still gets a write buffer of whole words.
    model_.write_buffer_size = std::max(2, model_.write_buffer_size + (model_.write_buffer_size & 1));
    memory_ = erased_memory(model_);
    reset_registers();
}

void Pic18Chip::set_supply(bool on, bool pgc, bool pgd) {
    settle();
    if (!on) {
        if (mode_ != Mode::Off) power_off();
        return;
    }
    if (mode_ != Mode::Off) return;
    pgc_ = pgc;
    pgd_ = pgd;
    reset_registers();
    if (!pgc && !pgd) {
        mode_ = Mode::Programming;
        log_.event(now(), model_.name + ": supply on with PGC and PGD low: programming mode");
        return;
    }
    mode_ = Mode::Refused;
    const std::string high = pgc && pgd ? "PGC and PGD" : pgc ? "PGC" : "PGD";
    log_.refusal(now(), model_.name + ": supply on with " + high +
                            " high: not in programming mode until the supply is switched off and on again");
}

void Pic18Chip::power_off() {
    const auto t = now();
    if (pending_program_) lose_programming("supply off sooner than P10 after the programming pulse");
    if (erase_)
        log_.refusal(t, "supply off " + duration_text(t - erase_->started) + " into the bulk erase (" +
                            erase_->scope.what + "): left unerased");
    if (pulse_rise_)
        log_.refusal(t,
                     "supply off during the programming pulse: " + hex6(*armed_address_) + " not programmed");
    if (eeprom_write_)
        log_.refusal(t, "supply off during the data EEPROM write at " + hex4(eeprom_write_->address) +
                            ": not written");
    erase_.reset();
    eeprom_write_.reset();
    mode_ = Mode::Off;
    reset_registers();
    log_.event(t, model_.name + ": supply off");
}

void Pic18Chip::reset_registers() {
    shifter_.reset();
    frame_reads_ = false;
    frame_ignored_ = false;
    driving_ = false;
    tblptr_ = 0;
    tablat_ = 0;
    w_ = 0;
    eecon1_ = 0;
    eedata_ = 0;
    eeadr_ = 0;
    eeadrh_ = 0;
    unlock_stage_ = 0;
    unlock_before_ = 0;
    erase_key_low_ = 0;
    erase_key_high_ = 0;
    panel_mode_ = 0;
    write_buffer_.assign(static_cast<std::size_t>(model_.write_buffer_size), 0xFF);
    armed_address_.reset();
    pulse_rise_.reset();
    pending_program_.reset();
    tablat_written_ = false;
    stale_tablat_.reset();
    erase_armed_.reset();
}

void Pic18Chip::set_pgc(bool level) {
    settle();
    if (level == pgc_) return;
    pgc_ = level;
    if (mode_ != Mode::Programming) return;
    if (level) {
        rising_edge();
    } else {
        falling_edge();
    }
}

void Pic18Chip::set_pgd(bool level) {
    settle();
    pgd_ = level;
}

void Pic18Chip::rising_edge() {
    // settle() has committed a pulse whose P10 ran its course; one still pending rose too soon.
    if (pending_program_) lose_programming("PGC rose sooner than P10 after the programming pulse");
    if (!shifter_.in_operand()) {
        // The fourth clock after a start-programming write is the programming pulse.
        if (shifter_.bits_latched() == 3 && armed_address_) pulse_rise_ = now();
        return;
    }
    // A read drives PGD for operand clocks 9 to 16, each bit valid after the rising edge.
    const int bit = shifter_.bits_latched() - 8;
    if (frame_reads_ && !frame_ignored_ && bit >= 0) {
        driving_ = true;
        out_bit_ = ((shift_value_ >> bit) & 1) != 0;
    }
}

void Pic18Chip::falling_edge() {
    if (pulse_rise_) {
        const auto held = now() - *pulse_rise_;
        pulse_rise_.reset();
        end_programming(held);
    }
    switch (shifter_.falling_edge(pgd_)) {
        case IcspShifter::Step::Bit:
            break;
        case IcspShifter::Step::CommandLatched:
            command_latched();
            break;
        case IcspShifter::Step::FrameComplete:
            frame_complete();
            break;
    }
}

void Pic18Chip::command_latched() {
    const int command = shifter_.command();
    frame_reads_ = command == kShiftOutTablat || (command >= kTableRead && command <= kTableReadPreInc);
    frame_ignored_ = false;
    if (!frame_reads_) return;
    // A read acts as soon as its command is in: the byte must be ready for the ninth clock.
    unlock_stage_ = 0;
    if (refused_while_erasing(false)) {
        frame_ignored_ = true;
        return;
    }
    if (command != kShiftOutTablat) table_read(command);
    shift_value_ = command == kShiftOutTablat && stale_tablat_ ? *stale_tablat_ : tablat_;
    if (command == kShiftOutTablat && stale_tablat_)
        log_.event(now(), "0010 right after a write to TABLAT shifted out TABLAT as it was before (" +
                              hex2(*stale_tablat_) + "); family B needs a NOP between them");
}

void Pic18Chip::frame_complete() {
    // A bulk erase starts when the first frame after the key write has been clocked in.
    const bool erase_due = erase_armed_.has_value();
    driving_ = false;
    std::optional<std::uint8_t> next_stale;
    const int command = shifter_.command();
    const std::uint16_t operand = shifter_.operand();
    if (!frame_reads_) {
        const bool nop = command == kCoreInstruction && operand == 0;
        if (!refused_while_erasing(nop)) {
            if (command == kCoreInstruction) {
                const std::uint8_t tablat_before = tablat_;
                tablat_written_ = false;
                execute_core(operand);
                if (model_.family == ChipFamily::B && tablat_written_) next_stale = tablat_before;
            } else {
                unlock_stage_ = 0;
                if (command >= kTableWrite) {
                    table_write(command, operand);
                } else {
                    log_.refusal(now(),
                                 "command " + command_text(command) + " is not an ICSP command: ignored");
                }
            }
        }
    }
    stale_tablat_ = next_stale;
    if (erase_due && erase_armed_) {
        const auto t = now();
        erase_ = Erase{t, t + model_.timing.bulk_erase + model_.timing.discharge, *erase_armed_};
        erase_armed_.reset();
        log_.event(t, "bulk erase started: " + erase_->scope.what);
    }
}

bool Pic18Chip::refused_while_erasing(bool harmless) {
    if (!erase_ || harmless) return false;
    const auto t = now();
    log_.refusal(t, "command " + command_text(shifter_.command()) + " came " +
                        duration_text(t - erase_->started) + " into the bulk erase, which needs " +
                        duration_text(model_.timing.bulk_erase + model_.timing.discharge) +
                        ": command ignored, erase abandoned, " + erase_->scope.what + " left unerased");
    erase_.reset();
    return true;
}

void Pic18Chip::settle() {
    if (mode_ == Mode::Off) return;
    const auto t = now();
    if (pending_program_ && pending_program_->fall + model_.timing.discharge <= t) commit_programming();
    if (erase_ && erase_->done <= t) {
        apply_erase(erase_->scope);
        log_.event(erase_->done, "bulk erase complete: " + erase_->scope.what);
        erase_.reset();
    }
    if (eeprom_write_ && eeprom_write_->done <= t) {
        const auto address = static_cast<std::size_t>(eeprom_write_->address);
        if (address < memory_.eeprom.size()) memory_.eeprom[address] = eeprom_write_->value;
        eecon1_ &= static_cast<std::uint8_t>(~kWr);
        eeprom_write_.reset();
    }
}

std::unique_ptr<Pic18Chip> make_chip(std::string_view model_name, Clock& clock, SimLog& log) {
    std::optional<ChipModel> model = find_chip_model(model_name);
    if (!model) return nullptr;
    return std::make_unique<Pic18Chip>(std::move(*model), clock, log);
}

}  // namespace quillon
