// The core instructions that ICSP sequences send with command 0000, and the registers they reach.
#include "backends/sim/pic18_chip.h"
#include "backends/sim/pic18_registers.h"
#include "base/hex_text.h"

namespace quillon {

using namespace pic18;

void Pic18Chip::execute_core(std::uint16_t word) {
    // The EEPROM unlock only counts when its steps follow one another directly.
    unlock_before_ = unlock_stage_;
    unlock_stage_ = 0;
    const auto f = static_cast<std::uint8_t>(word & 0xFF);

    // NOP, the second word of a two-word instruction, and GOTO: nothing here keeps a program
    // counter, so they change nothing (GOTO 100000h is sent before configuration writes).
    if (word == 0x0000 || (word & 0xF000) == 0xF000 || (word & 0xFF00) == 0xEF00) return;
    if ((word & 0xFF00) == 0x0E00) {  // MOVLW k
        w_ = f;
        if (unlock_before_ == 1) unlock_stage_ = 1;  // MOVLW AAh between the two EECON2 writes
        return;
    }

    const bool file_instruction = (word & 0xFE00) == 0x6E00      // MOVWF f
                                  || (word & 0xFE00) == 0x6A00   // CLRF f
                                  || (word & 0xFC00) == 0x5000   // MOVF f,d
                                  || (word & 0xFC00) == 0x2800   // INCF f,d
                                  || (word & 0xE000) == 0x8000;  // BSF / BCF f,b
    if (!file_instruction) {
        log_.refusal(now(), "core instruction " + hex4(word) + " is not simulated: ignored");
        return;
    }
    if ((word & 0x0100) != 0) {
        log_.refusal(now(), "core instruction " + hex4(word) +
                                " uses the banked register file, which is not simulated: ignored");
        return;
    }
    const bool to_file = (word & 0x0200) != 0;  // the d bit of MOVF and INCF
    if ((word & 0xFE00) == 0x6E00) {
        write_register(f, w_);
    } else if ((word & 0xFE00) == 0x6A00) {
        write_register(f, 0);
    } else if ((word & 0xFC00) == 0x5000) {
        const std::uint8_t value = read_register(f);
        if (to_file) {
            write_register(f, value);
        } else {
            w_ = value;
        }
    } else if ((word & 0xFC00) == 0x2800) {
        const auto value = static_cast<std::uint8_t>(read_register(f) + 1);
        if (to_file) {
            write_register(f, value);
        } else {
            w_ = value;
        }
    } else {
        const auto mask = static_cast<std::uint8_t>(1u << ((word >> 9) & 7));
        const bool set = (word & 0x1000) == 0;
        const std::uint8_t value = read_register(f);
        write_register(f, static_cast<std::uint8_t>(set ? value | mask : value & ~mask));
    }
}

std::uint8_t Pic18Chip::read_register(std::uint8_t f) const {
    switch (f) {
        case kTblptru:
            return static_cast<std::uint8_t>(tblptr_ >> 16);
        case kTblptrh:
            return static_cast<std::uint8_t>(tblptr_ >> 8);
        case kTblptrl:
            return static_cast<std::uint8_t>(tblptr_);
        case kTablat:
            return tablat_;
        case kEecon1:
            return eecon1_;
        case kEedata:
            return eedata_;
        case kEeadr:
            return eeadr_;
        case kEeadrh:
            return eeadrh_;
        default:
            return 0x00;  // EECON2 and everything not simulated read 00
    }
}

void Pic18Chip::write_register(std::uint8_t f, std::uint8_t value) {
    switch (f) {
        case kTblptru:
            tblptr_ = (tblptr_ & 0x00FFFF) | (static_cast<std::uint32_t>(value & 0x3F) << 16);
            return;
        case kTblptrh:
            tblptr_ = (tblptr_ & 0x3F00FF) | (static_cast<std::uint32_t>(value) << 8);
            return;
        case kTblptrl:
            tblptr_ = (tblptr_ & 0x3FFF00) | value;
            return;
        case kTablat:
            tablat_ = value;
            tablat_written_ = true;
            return;
        case kEecon1:
            write_eecon1(value);
            return;
        case kEecon2:
            if (value == 0x55) unlock_stage_ = 1;
            if (value == 0xAA && unlock_before_ == 1) unlock_stage_ = 2;
            return;
        case kEedata:
            eedata_ = value;
            return;
        case kEeadr:
            eeadr_ = value;
            return;
        case kEeadrh:
            // Only parts with more than 256 bytes of EEPROM have EEADRH; on the others it is
            // unimplemented and keeps reading 00.
            if (model_.eeprom_size > 256) eeadrh_ = value;
            return;
        default:
            log_.refusal(now(), "register " + hex2(f) + " (access bank) is not simulated: write of " +
                                    hex2(value) + " ignored");
    }
}

std::int32_t Pic18Chip::eeprom_address() const {
    if (memory_.eeprom.empty()) return 0;
    return static_cast<std::int32_t>(static_cast<std::size_t>((eeadrh_ << 8) | eeadr_) %
                                     memory_.eeprom.size());
}

void Pic18Chip::write_eecon1(std::uint8_t value) {
    const std::uint8_t before = eecon1_;
    // WR is cleared only by the chip when the write is done, RD clears itself, bit 5 is unused.
    eecon1_ = static_cast<std::uint8_t>((value & ~(kWr | kRd | 0x20)) | (before & kWr));
    if ((value & kRd) != 0) {
        if ((eecon1_ & (kEepgd | kCfgs)) != 0 || memory_.eeprom.empty()) {
            log_.refusal(now(), "RD set with EEPGD or CFGS = 1: no data EEPROM read (EEDATA unchanged)");
        } else {
            eedata_ = eeprom_protected(memory_, model_, Protection::Code)
                          ? 0x00
                          : memory_.eeprom[static_cast<std::size_t>(eeprom_address())];
        }
    }
    if ((value & kWr) != 0 && (before & kWr) != 0)
        log_.refusal(now(), "WR set while the data EEPROM write at " +
                                hex4(eeprom_write_ ? eeprom_write_->address : 0) +
                                " is still running: data EEPROM " + hex4(eeprom_address()) + " not written");
    if ((value & kWr) != 0 && (before & kWr) == 0) start_eeprom_write();
}

void Pic18Chip::start_eeprom_write() {
    const auto t = now();
    const std::string where = "data EEPROM " + hex4(eeprom_address()) + " not written";
    if ((eecon1_ & (kEepgd | kCfgs)) != 0) {
        log_.refusal(
            t,
            "WR set with EEPGD or CFGS = 1 (program memory writes through WR are not simulated): " + where);
        return;
    }
    if (memory_.eeprom.empty()) {
        log_.refusal(t, "WR set on a chip without data EEPROM: nothing written");
        return;
    }
    if ((eecon1_ & kWren) == 0) {
        log_.refusal(t, "WR set with WREN = 0: " + where);
        return;
    }
    // Family B needs no unlock in programming mode; A and C do. A family B chip also accepts
    // the unlock, as EECON2 writes are harmless there.
    if (model_.family != ChipFamily::B && unlock_before_ != 2) {
        log_.refusal(t, "WR set without the 55h/AAh unlock to EECON2 just before it: " + where);
        return;
    }
    if (eeprom_protected(memory_, model_, Protection::Write)) {
        log_.refusal(t, "data EEPROM write-protected (CONFIG6H WRTD = 0): " + where);
        return;
    }
    eeprom_write_ = EepromWrite{t + model_.timing.eeprom_write, eeprom_address(), eedata_};
    eecon1_ |= kWr;
}

}  // namespace quillon
