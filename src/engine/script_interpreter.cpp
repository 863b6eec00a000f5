#include "engine/script_interpreter.h"

#include <charconv>

#include "engine/instruction_set.h"

namespace quillon {

namespace {

void append_number(std::string& text, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

}  // namespace

std::int32_t last_used_address(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = bytes.size(); i > 0; --i) {
        if (bytes[i - 1] != kErasedByte) return static_cast<std::int32_t>(i - 1);
    }
    return -1;
}

void ScriptInterpreter::begin_run() {
    fault_ = RunFault::None;
    fault_text_.clear();
    powered_depth_ = 0;
    loop_started_ = false;
    loop_ended_ = false;
    address_at_loop_ = -1;
}

void ScriptInterpreter::power_down_after_fault() {
    while (powered_depth_ > 0 && !lines_.failed()) {
        lines_.power_down();
        --powered_depth_;
    }
}

void ScriptInterpreter::set_fault(RunFault fault, std::string text) {
    if (fault_ != RunFault::None) return;
    fault_ = fault;
    fault_text_ = std::move(text);
}

// Bytes outside the buffers read as erased and writes there are dropped: a script may loop past
// the end of a memory (a page end beyond a size that is not a whole number of pages), and must
// never reach past the image.
std::uint8_t ScriptInterpreter::flash_byte(std::int32_t address) const {
    const FlashBuffer& flash = state_.image.flash;
    return address >= 0 && static_cast<std::size_t>(address) < flash.size()
               ? flash[static_cast<std::size_t>(address)]
               : kErasedByte;
}

std::uint8_t ScriptInterpreter::eeprom_byte(std::int32_t address) const {
    const EepromBuffer& eeprom = state_.image.eeprom;
    return address >= 0 && static_cast<std::size_t>(address) < eeprom.size()
               ? eeprom[static_cast<std::size_t>(address)]
               : kErasedByte;
}

std::int32_t ScriptInterpreter::flash_word(std::int32_t address) const {
    return flash_byte(address) + 256 * flash_byte(address + 1);
}

void ScriptInterpreter::store_flash(std::int32_t address, int value) {
    FlashBuffer& flash = state_.image.flash;
    if (address >= 0 && static_cast<std::size_t>(address) < flash.size()) {
        flash[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    }
}

void ScriptInterpreter::store_eeprom(std::int32_t address, int value) {
    EepromBuffer& eeprom = state_.image.eeprom;
    if (address >= 0 && static_cast<std::size_t>(address) < eeprom.size()) {
        eeprom[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    }
}

void ScriptInterpreter::caption(Memory memory, int config) {
    switch (memory) {
        case Memory::Flash:
            caption_progress('F');
            break;
        case Memory::Eeprom:
            caption_progress('E');
            break;
        case Memory::Config:
            host_.set_status(config_caption(config));
            host_.yield_point();
            break;
        case Memory::None:
            break;
    }
}

void ScriptInterpreter::caption_progress(char memory) {
    caption_.clear();
    caption_.push_back(memory);
    caption_.push_back(':');
    append_number(caption_, state_.run_address + 1);
    caption_.push_back('/');
    append_number(caption_, state_.interpreter.loop_end + 1);
    host_.set_status(caption_);
    host_.yield_point();
}

void ScriptInterpreter::enter_loop(const Instruction& instruction, std::int32_t last_address,
                                   std::int32_t pc) {
    InterpreterValues& values = state_.interpreter;
    values.loop_start = pc;
    values.loop_end = last_address;
    loop_started_ = true;
    if (state_.run_address <= values.loop_end) {
        address_at_loop_ = state_.run_address;
        loop_ended_ = false;
    } else {
        state_.run_address = 0;
        address_at_loop_ = -1;
        loop_ended_ = true;
        state_.run_pc = instruction.target;
    }
}

void ScriptInterpreter::run_loop(std::int32_t pc) {
    // A run stopped here leaves run_pc at this "loop".
    if (!loop_started_) {
        state_.run_pc = pc;
        set_fault(RunFault::LoopStuck, "A \"loop\" ran before any loop was started in this run.");
        return;
    }
    // An ended loop starts again from address 0 when a later "loop" returns to it, and would end
    // and be sent back again for ever.
    if (loop_ended_) {
        state_.run_pc = pc;
        set_fault(RunFault::LoopStuck,
                  "A \"loop\" returned to a loop that had already ended; the run was stopped.");
        return;
    }
    // The body decides nothing but the address; if it left the address where it was, every
    // further round would do the same.
    if (state_.run_address == address_at_loop_) {
        state_.run_pc = pc;
        set_fault(RunFault::LoopStuck, "A loop body did not move to the next address; the run was stopped.");
        return;
    }
    state_.run_pc = state_.interpreter.loop_start;
}

}  // namespace quillon
