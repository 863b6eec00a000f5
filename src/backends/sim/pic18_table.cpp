// Table reads and writes, the write buffer, programming and bulk erase.
#include <algorithm>

#include "backends/sim/pic18_chip.h"
#include "backends/sim/pic18_registers.h"
#include "backends/sim/sim_text.h"
#include "base/hex_text.h"

namespace quillon {

using namespace pic18;

namespace {

constexpr std::uint32_t kControlSpace = 0x3C;  // TBLPTRU of the erase and panel registers
constexpr std::uint32_t kEraseKeyLow = 0x3C0004;
constexpr std::uint32_t kEraseKeyHigh = 0x3C0005;
constexpr std::uint32_t kPanelMode = 0x3C0006;
constexpr std::uint8_t kMultiPanel = 0x40;

}  // namespace

void Pic18Chip::table_read(int command) {
    // TBLPTR counts as one 22-bit number, so an increment carries from TBLPTRH into TBLPTRU
    // (FFFF + 1 = 010000) and wraps from 3FFFFF to 000000, as the core's own TBLRD*+ does.
    if (command == kTableReadPreInc) tblptr_ = (tblptr_ + 1) & kTblptrMask;
    tablat_ = read_program_space(memory_, model_, tblptr_);
    if (command == kTableReadPostInc) tblptr_ = (tblptr_ + 1) & kTblptrMask;
    if (command == kTableReadPostDec) tblptr_ = (tblptr_ - 1) & kTblptrMask;
}

void Pic18Chip::table_write(int command, std::uint16_t word) {
    const std::uint32_t address = tblptr_;
    const auto low = static_cast<std::uint8_t>(word & 0xFF);
    const auto high = static_cast<std::uint8_t>(word >> 8);
    const bool control = (address >> 16) == kControlSpace;
    if (control) {
        // The control registers take one byte: an even address the operand's low byte, an odd
        // address its high byte.
        write_control_register(address, (address & 1) != 0 ? high : low);
    } else {
        // The write buffer takes the word: low byte at the even address, high byte at the odd.
        const auto index =
            static_cast<std::size_t>((address % static_cast<std::uint32_t>(model_.write_buffer_size)) & ~1u);
        write_buffer_[index] = low;
        write_buffer_[index + 1] = high;
    }

    // 1110 is read two ways: post-decrement by 2 in family A's programming document, post-increment
    // by 2 with start of programming in family B's. The simulator follows each family's document and
    // treats C like B; the device library never needs this command.
    bool start = command == kTableWriteStartProgramming;
    std::uint32_t step = 0;
    if (command == kTableWritePostInc) step = 2;
    if (command == kTableWrite1110) {
        step = model_.family == ChipFamily::A ? static_cast<std::uint32_t>(-2) : 2;
        start = model_.family != ChipFamily::A;
    }
    if (start && !control) armed_address_ = address;
    tblptr_ = (tblptr_ + step) & kTblptrMask;
}

void Pic18Chip::write_control_register(std::uint32_t address, std::uint8_t value) {
    const auto t = now();
    if (address == kEraseKeyHigh) {
        erase_key_high_ = value;
        return;
    }
    if (address == kPanelMode) {
        panel_mode_ = value;
        if (model_.family == ChipFamily::A && (value & kMultiPanel) != 0)
            log_.refusal(t, "multi-panel writes selected: not simulated, code writes will be refused");
        return;
    }
    if (address != kEraseKeyLow) {
        log_.refusal(t, "no register at " + hex6(address) + ": write of " + hex2(value) + " ignored");
        return;
    }
    // Families A and C take the key from 3C0004 alone; family B from 3C0005:3C0004.
    erase_key_low_ = value;
    const auto key = static_cast<std::uint16_t>(erase_key_high_ << 8 | erase_key_low_);
    const std::string key_text = model_.family == ChipFamily::B ? hex4(key) : hex2(erase_key_low_);
    std::optional<EraseScope> scope = bulk_erase_scope(model_, key);
    if (!scope) {
        log_.refusal(t, "bulk erase key " + key_text + " is not a family " + family_name(model_.family) +
                            " key: nothing erased");
        return;
    }
    log_.event(t, "bulk erase key " + key_text + " accepted: " + scope->what);
    erase_armed_ = std::move(scope);
}

void Pic18Chip::end_programming(std::chrono::nanoseconds held) {
    const std::uint32_t address = *armed_address_;
    armed_address_.reset();
    // Programming uses the buffer up; what follows starts from an empty (FF) buffer, so bytes of
    // one page never reach the next.
    std::vector<std::uint8_t> data(static_cast<std::size_t>(model_.write_buffer_size), 0xFF);
    data.swap(write_buffer_);
    const auto t = now();
    const std::string target = hex6(address) + " not programmed";
    const bool config_space = address >= kConfigAddress;
    const std::chrono::nanoseconds needed =
        config_space ? model_.timing.config_hold : model_.timing.program_hold;
    if (held < needed) {
        log_.refusal(t, "programming pulse held " + duration_text(held) + ", shorter than P9 (" +
                            duration_text(needed) + (config_space ? " for a configuration byte" : "") +
                            "): " + target);
        return;
    }
    if ((eecon1_ & kEepgd) == 0) {
        log_.refusal(t, "start programming with EEPGD = 0: " + target);
        return;
    }
    if (config_space != ((eecon1_ & kCfgs) != 0)) {
        log_.refusal(t, std::string("start programming with CFGS = ") + (config_space ? "0" : "1") + " for " +
                            (config_space ? "a configuration" : "a code or ID") + " address: " + target);
        return;
    }
    // The high voltage has done its work, but the cells keep it only once PGC has stayed low for
    // P10 (settle() or the next rising edge decides).
    pending_program_ = PendingProgram{t, address, std::move(data)};
}

void Pic18Chip::commit_programming() {
    const PendingProgram pending = std::move(*pending_program_);
    pending_program_.reset();
    if (pending.address >= kConfigAddress) {
        const auto lane =
            static_cast<std::size_t>(pending.address % static_cast<std::uint32_t>(model_.write_buffer_size));
        program_config(pending.address, pending.data[lane]);
    } else {
        program_page(pending.address, pending.data);
    }
}

void Pic18Chip::lose_programming(const std::string& why) {
    const auto t = now();
    log_.refusal(t, why + " (held low " + duration_text(t - pending_program_->fall) + ", P10 is " +
                        duration_text(model_.timing.discharge) + "): " + hex6(pending_program_->address) +
                        " not programmed");
    pending_program_.reset();
}

void Pic18Chip::program_config(std::uint32_t address, std::uint8_t value) {
    const auto t = now();
    if (address >= kConfigAddress + kConfigByteCount) {
        log_.refusal(t, "no configuration byte at " + hex6(address) + ": nothing programmed");
        return;
    }
    const int index = static_cast<int>(address - kConfigAddress);
    if ((model_.config_bits[kConfig6hIndex] & kWrtc) != 0 && (memory_.config[kConfig6hIndex] & kWrtc) == 0) {
        log_.refusal(t, "configuration write-protected (CONFIG6H WRTC = 0): " + config_name(index) +
                            " not programmed");
        return;
    }
    if (!model_.has_config(index)) {
        log_.event(t, config_name(index) + " does not exist on " + model_.name + ": write has no effect");
        return;
    }
    // Only the implemented bits exist; the others keep reading 0.
    const auto k = static_cast<std::size_t>(index);
    memory_.config[k] = static_cast<std::uint8_t>(value & model_.config_bits[k]);
}

void Pic18Chip::program_page(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    if (model_.family == ChipFamily::A && (panel_mode_ & kMultiPanel) != 0) {
        log_.refusal(now(), "multi-panel write mode is not simulated: " + hex6(address) + " not programmed");
        return;
    }
    // FLASH cells (code and ID) can only be programmed from 1 to 0: writing over bytes that were
    // not erased leaves the AND of old and new, as on the chip.
    const auto size = static_cast<std::uint32_t>(model_.write_buffer_size);
    if (address < memory_.flash.size()) {
        const std::uint32_t page = address - address % size;
        const std::optional<CodeBlock> block = model_.code_block(page);
        if (block && block_protected(memory_, model_, *block, Protection::Write)) {
            log_.refusal(now(),
                         std::string("write-protected ") +
                             (block->number < 0 ? "boot block" : "block " + std::to_string(block->number)) +
                             " (" + hex6(block->begin) + "-" + hex6(block->end - 1) + "): " + hex6(page) +
                             " not programmed");
            return;
        }
        for (std::uint32_t i = 0; i < size && page + i < memory_.flash.size(); ++i)
            memory_.flash[page + i] &= data[i];
    } else if (address >= kIdAddress && address < kIdAddress + kIdSize) {
        for (std::size_t i = 0; i < memory_.id.size(); ++i)
            memory_.id[i] &= data[i];
    } else {
        log_.refusal(now(), "no code or ID memory at " + hex6(address) + ": nothing programmed");
    }
}

void Pic18Chip::apply_erase(const EraseScope& scope) {
    const auto end = std::min(static_cast<std::size_t>(scope.flash_end), memory_.flash.size());
    for (auto a = static_cast<std::size_t>(scope.flash_begin); a < end; ++a)
        memory_.flash[a] = 0xFF;
    if (scope.id) memory_.id.fill(0xFF);
    if (scope.config) memory_.config = erased_config(model_);
    if (scope.eeprom) memory_.eeprom.assign(memory_.eeprom.size(), 0xFF);
}

}  // namespace quillon
