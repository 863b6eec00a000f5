#include "engine/script_interpreter.h"

#include <charconv>

#include "base/hex_text.h"

namespace quillon {

namespace {

constexpr std::int32_t kMovlw = 0x0E00;
constexpr std::int32_t kMovfEecon1W = 0x50A6;
constexpr std::int32_t kMovwfTablat = 0x6EF5;
constexpr int kShiftOutTablat = 2;
constexpr int kWriteBit = 0x02;  // WR of EECON1

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

void ScriptInterpreter::caption_config(int k) {
    host_.set_status(config_caption(k));
    host_.yield_point();
}

void ScriptInterpreter::reset_mismatch_report() {
    state_.mismatch_count = 0;
    state_.mismatch_report = "Memory Location,   Read Value,   Expected,\r\n";
}

void ScriptInterpreter::add_mismatch(std::string_view location, std::string_view read_value,
                                     std::string_view expected_value) {
    ++state_.mismatch_count;
    std::string& report = state_.mismatch_report;
    report.append(location)
        .append(",   ")
        .append(read_value)
        .append(",   ")
        .append(expected_value)
        .append(",\r\n");
    if (state_.mismatch_count == kMismatchLimit) state_.run_pc = state_.run_length;
}

void ScriptInterpreter::compare(std::string_view memory, std::int32_t address, int expected, bool eeprom) {
    const int read = state_.interpreter.last_read;
    if (read == expected) return;
    const std::string location = std::string(memory) + (eeprom ? hex4h(address) : hex6h(address));
    add_mismatch(location, hex2h(read), hex2h(expected));
}

void ScriptInterpreter::compare_config(int k, int expected) {
    const int read = state_.interpreter.last_read;
    if (read == expected) return;
    add_mismatch("CONF Byte " + hex6h(kConfigBaseAddress + k - 1), hex2h(read), hex2h(expected));
}

void ScriptInterpreter::enter_loop(const Instruction& instruction, std::int32_t last_address) {
    InterpreterValues& values = state_.interpreter;
    values.loop_start = state_.run_pc;
    values.loop_end = last_address;
    loop_started_ = true;
    if (state_.run_address <= values.loop_end) {
        address_at_loop_ = state_.run_address;
        loop_ended_ = false;
        ++state_.run_pc;
    } else {
        state_.run_address = 0;
        address_at_loop_ = -1;
        loop_ended_ = true;
        state_.run_pc = instruction.target;
    }
}

void ScriptInterpreter::run_loop() {
    if (!loop_started_) {
        set_fault(RunFault::LoopStuck, "A \"loop\" ran before any loop was started in this run.");
        return;
    }
    // An ended loop starts again from address 0 when a later "loop" returns to it, and would end
    // and be sent back again for ever.
    if (loop_ended_) {
        set_fault(RunFault::LoopStuck,
                  "A \"loop\" returned to a loop that had already ended; the run was stopped.");
        return;
    }
    // The body decides nothing but the address; if it left the address where it was, every
    // further round would do the same.
    if (state_.run_address == address_at_loop_) {
        set_fault(RunFault::LoopStuck, "A loop body did not move to the next address; the run was stopped.");
        return;
    }
    state_.run_pc = state_.interpreter.loop_start;
}

void ScriptInterpreter::wait_for_write() {
    InterpreterValues& values = state_.interpreter;
    for (int poll = 0; poll < kMaxWriteCompletionPolls; ++poll) {
        lines_.send_command(0, kMovfEecon1W);
        lines_.short_pause();
        lines_.send_command(0, kMovwfTablat);
        lines_.short_pause();
        values.last_read = lines_.read_byte(kShiftOutTablat);
        lines_.short_pause();
        if ((values.last_read & kWriteBit) == 0 || lines_.failed()) return;
    }
    set_fault(RunFault::WriteTimeout, "The chip did not finish a write: its WR bit stayed set after " +
                                          std::to_string(kMaxWriteCompletionPolls) + " polls.");
}

void ScriptInterpreter::script_step(const ScriptProgram& program) {
    const Instruction& instruction = program.instructions[static_cast<std::size_t>(state_.run_pc - 1)];
    if (trace) trace(state_.run_pc, instruction);
    InterpreterValues& values = state_.interpreter;
    bool advance = true;

    switch (instruction.op) {
        case Op::Begin:
            lines_.power_up(state_.voltage_sequence);
            ++powered_depth_;
            break;
        case Op::End:
            lines_.power_down();
            if (powered_depth_ > 0) --powered_depth_;
            break;
        case Op::StartProg:
            lines_.programming_pulse(state_.prog_time_ms);
            break;
        case Op::SetProgTime:
        case Op::EndIfPage:
            break;
        case Op::CalcFlash:
            state_.last_flash_address = last_used_address(state_.image.flash);
            break;
        case Op::CalcFlashPage: {
            const std::int32_t last = last_used_address(state_.image.flash);
            const std::int32_t page = state_.page_size;
            state_.last_flash_address = last - last % page + page - 1;
            break;
        }
        case Op::CalcEeprom:
            state_.last_eeprom_address = last_used_address(state_.image.eeprom);
            break;
        case Op::SetFlashLoop:
            enter_loop(instruction, state_.last_flash_address);
            advance = false;
            break;
        case Op::SetEepromLoop:
            enter_loop(instruction, state_.last_eeprom_address);
            advance = false;
            break;
        case Op::Loop:
            run_loop();
            advance = false;
            break;
        case Op::IfPage:
            if (!(state_.run_address > 0 && state_.run_address % state_.page_size == 0)) {
                state_.run_pc = instruction.target;
                advance = false;
            }
            break;
        case Op::MovlwUpper:
        case Op::MovlwHigh:
        case Op::MovlwLow: {
            split_address(state_.address, state_.run_address);
            const AddressBytes& bytes = state_.address;
            const std::int32_t byte = instruction.op == Op::MovlwUpper  ? bytes.address_upper
                                      : instruction.op == Op::MovlwHigh ? bytes.address_high
                                                                        : bytes.address_low;
            lines_.send_command(0, kMovlw + byte);
            lines_.short_pause();
            break;
        }
        case Op::MovlwEeprom:
            caption_progress('E');
            lines_.send_command(0, kMovlw + eeprom_byte(state_.run_address));
            lines_.short_pause();
            ++state_.run_address;
            break;
        case Op::SendFlash:
            caption_progress('F');
            lines_.send_command(instruction.command, flash_word(state_.run_address));
            lines_.short_pause();
            state_.run_address += 2;
            break;
        case Op::SendConfig:
            caption_config(instruction.config);
            lines_.send_command(instruction.command, 257 * state_.image.config(instruction.config));
            lines_.short_pause();
            break;
        case Op::WaitWr:
            wait_for_write();
            break;
        case Op::ReadFlash:
            caption_progress('F');
            store_flash(state_.run_address, lines_.read_byte(instruction.command));
            lines_.short_pause();
            ++state_.run_address;
            break;
        case Op::ReadEeprom:
            caption_progress('E');
            store_eeprom(state_.run_address, lines_.read_byte(instruction.command));
            lines_.short_pause();
            ++state_.run_address;
            break;
        case Op::ReadConfig:
            caption_config(instruction.config);
            state_.image.config(instruction.config) = lines_.read_byte(instruction.command);
            lines_.short_pause();
            break;
        case Op::ReadTemp:
            values.last_read = lines_.read_byte(instruction.command);
            lines_.short_pause();
            break;
        case Op::CheckBlankFlash:
        case Op::CheckFlash:
        case Op::CheckBlankEeprom:
        case Op::CheckEeprom: {
            const bool eeprom = instruction.op == Op::CheckBlankEeprom || instruction.op == Op::CheckEeprom;
            caption_progress(eeprom ? 'E' : 'F');
            const std::int32_t address = state_.run_address;
            ++state_.run_address;
            ++state_.run_pc;
            advance = false;
            const int expected = instruction.op == Op::CheckFlash    ? flash_byte(address)
                                 : instruction.op == Op::CheckEeprom ? eeprom_byte(address)
                                                                     : kErasedByte;
            compare(eeprom ? "EEPROM Byte " : "FLASH Byte ", address, expected, eeprom);
            break;
        }
        case Op::CheckBlankConfig:
        case Op::CheckConfig: {
            caption_config(instruction.config);
            ++state_.run_pc;
            advance = false;
            const int k = instruction.config;
            compare_config(
                k, instruction.op == Op::CheckBlankConfig ? state_.erased_config(k) : state_.image.config(k));
            break;
        }
        case Op::SendLiteral:
            lines_.send_command(instruction.command, instruction.operand);
            lines_.short_pause();
            break;
        case Op::Wait:
            lines_.wait_ms(instruction.wait_ms);
            break;
        case Op::Unrecognized:
            // Refused before the run; never stepped.
            break;
    }
    if (advance) ++state_.run_pc;
    if (lines_.failed()) set_fault(RunFault::PortFailed, lines_.port().failure_text());
}

}  // namespace quillon
