// script_step and its handlers, one for each group of the instruction table. They stay in one file
// so that the compiler can fold the handlers into the step.
#include "engine/script/script_interpreter.h"

#include "base/hex_text.h"

namespace quillon {

namespace {

constexpr std::int32_t kMovlw = 0x0E00;

// Bytes outside the buffers read as erased and writes there are dropped: a script may loop past
// the end of a memory (a page end beyond a size that is not a whole number of pages), and must
// never reach past the image.
std::uint8_t byte_or_erased(const std::vector<std::uint8_t>& bytes, std::int32_t address) {
    return address >= 0 && static_cast<std::size_t>(address) < bytes.size()
               ? bytes[static_cast<std::size_t>(address)]
               : kErasedByte;
}

void store_within(std::vector<std::uint8_t>& bytes, std::int32_t address, int value) {
    if (address >= 0 && static_cast<std::size_t>(address) < bytes.size()) {
        bytes[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    }
}

// The FLASH word at `address`, low byte first.
std::int32_t flash_word(const FlashBuffer& flash, std::int32_t address) {
    return byte_or_erased(flash, address) + 256 * byte_or_erased(flash, address + 1);
}

}  // namespace

inline void ScriptInterpreter::caption(Memory memory, int config) {
    switch (memory) {
        case Memory::Flash:
            caption_progress('F');
            break;
        case Memory::Eeprom:
            caption_progress('E');
            break;
        case Memory::Config:
            caption_.assign(config_caption(config));
            host_.set_status(caption_);
            if (plan_ != nullptr) show_progress(false);
            host_.yield_point();
            break;
        case Memory::None:
            break;
    }
}

namespace {

// Reads may come back later than they were asked for (a batching port): they reach the buffers and
// the compares in their order between two steps, and an instruction that waits, powers the chip
// or reads the buffers sees them all first. The mismatch limit can thus move run_pc only here.
bool needs_every_read(Group group) {
    return group == Group::Power || group == Group::LoopEnd || group == Group::Wait || group == Group::None;
}

}  // namespace

void ScriptInterpreter::script_step(const ScriptProgram& program) {
    lines_.deliver_reads();
    if (needs_every_read(program.instructions[static_cast<std::size_t>(state_.run_pc - 1)].group))
        lines_.settle_reads();
    const std::int32_t pc = state_.run_pc;
    const Instruction& instruction = program.instructions[static_cast<std::size_t>(pc - 1)];
    // On to the next instruction unless a jump or the mismatch limit moves run_pc elsewhere.
    state_.run_pc = pc + 1;
    switch (instruction.group) {
        case Group::Power:
            power(instruction.op);
            break;
        case Group::LoopEnd:
            shorten_loop_end(instruction);
            break;
        case Group::Flow:
            flow(instruction, pc);
            break;
        case Group::Address:
            load_address_byte(instruction.op);
            break;
        case Group::Send:
            send(instruction);
            break;
        case Group::Read:
            read(instruction);
            break;
        case Group::CheckBlank:
        case Group::Check:
            check(instruction, instruction.group == Group::CheckBlank);
            break;
        case Group::Wait:
            wait(instruction);
            break;
        case Group::None:
            // Refused before the run; never stepped.
            break;
    }
    if (lines_.failed()) set_fault(RunFault::PortFailed, lines_.port().failure_text());
}

inline void ScriptInterpreter::power(Op op) {
    switch (op) {
        case Op::Begin:
            lines_.power_up(state_.voltage_sequence);
            ++powered_depth_;
            break;
        case Op::End:
            lines_.power_down();
            if (powered_depth_ > 0) --powered_depth_;
            break;
        case Op::StartProg:
            pulse();
            break;
        default:
            // setprogtime: the programming time is the model's, or the one the user chose.
            break;
    }
}

inline void ScriptInterpreter::shorten_loop_end(const Instruction& instruction) {
    if (instruction.memory == Memory::Eeprom) {
        state_.last_eeprom_address = last_used_address(state_.image.eeprom);
        return;
    }
    const std::int32_t last = last_used_address(state_.image.flash);
    if (instruction.op == Op::CalcFlashPage) {
        // The end of the page that holds the last used byte; the first page's end when none is.
        state_.last_flash_address = page_end(last, state_.page_size);
    } else {
        state_.last_flash_address = last;
    }
}

inline void ScriptInterpreter::flow(const Instruction& instruction, std::int32_t pc) {
    switch (instruction.op) {
        case Op::SetFlashLoop:
        case Op::SetEepromLoop:
            // A memory the run leaves out has its loop passed over as if it were empty.
            enter_loop(instruction,
                       !covers(instruction.memory)           ? -1
                       : instruction.memory == Memory::Flash ? state_.last_flash_address
                                                             : state_.last_eeprom_address,
                       pc);
            break;
        case Op::Loop:
            run_loop(pc);
            break;
        case Op::IfPage:
            // The block runs only right after a completed page.
            if (!(state_.run_address > 0 && state_.run_address % state_.page_size == 0)) {
                state_.run_pc = instruction.target;
            }
            break;
        default:
            // endifpage only marks where an "ifpage" block ends.
            break;
    }
}

inline void ScriptInterpreter::enter_loop(const Instruction& instruction, std::int32_t last_address,
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

inline void ScriptInterpreter::load_address_byte(Op op) {
    split_address(state_.address, state_.run_address);
    const AddressBytes& bytes = state_.address;
    const std::int32_t byte = op == Op::MovlwUpper  ? bytes.address_upper
                              : op == Op::MovlwHigh ? bytes.address_high
                                                    : bytes.address_low;
    lines_.send_command(0, kMovlw + byte);
    lines_.short_pause();
}

inline void ScriptInterpreter::send(const Instruction& instruction) {
    const Memory memory = instruction.memory;
    caption(memory, instruction.config);
    std::int32_t command = instruction.command;
    std::int32_t operand = instruction.operand;  // sCC-DDDD
    std::int32_t next = 0;
    switch (memory) {
        case Memory::Flash:  // a word, low byte first
            operand = flash_word(state_.image.flash, state_.run_address);
            next = 2;
            break;
        case Memory::Eeprom:  // MOVLW of the data byte
            command = 0;
            operand = kMovlw + byte_or_erased(state_.image.eeprom, state_.run_address);
            next = 1;
            break;
        case Memory::Config:  // the byte in both halves
            operand = 257 * state_.image.config(instruction.config);
            break;
        case Memory::None:
            break;
    }
    lines_.send_command(command, operand);
    lines_.short_pause();
    state_.run_address += next;
    // A table write (1100 to 1111) decides which pulse the next "startprog" gives.
    if (memory == Memory::Config) {
        config_pulse_due_ = true;
    } else if (memory == Memory::Flash || command >= 0x0C) {
        config_pulse_due_ = false;
    }
}

inline bool ScriptInterpreter::covers(Memory memory) const {
    const MemoryRegions& regions = state_.run_regions;
    switch (memory) {
        case Memory::Flash:
            return regions.flash;
        case Memory::Eeprom:
            return regions.eeprom;
        case Memory::Config:
            return regions.config;
        case Memory::None:
            break;
    }
    return true;
}

inline void ScriptInterpreter::store_read(Memory memory, std::int32_t address, int config, int value) {
    if (!covers(memory)) {
        // The buffer of a memory the run leaves out keeps what it had; the chip's configuration
        // still tells which areas are protected.
        if (memory == Memory::Config) chip_config_(config) = value;
        return;
    }
    switch (memory) {
        case Memory::Flash:
            store_within(state_.image.flash, address, value);
            break;
        case Memory::Eeprom:
            store_within(state_.image.eeprom, address, value);
            break;
        case Memory::Config:
            state_.image.config(config) = value;
            chip_config_(config) = value;
            break;
        case Memory::None:  // temp=sCC: kept for the compare instructions
            state_.interpreter.last_read = value;
            break;
    }
}

inline void ScriptInterpreter::read(const Instruction& instruction) {
    const Memory memory = instruction.memory;
    caption(memory, instruction.config);
    const std::int32_t address = state_.run_address;
    const int config = instruction.config;
    lines_.read_byte_later(instruction.command, [this, memory, address, config](int value) {
        store_read(memory, address, config, value);
    });
    lines_.short_pause();
    if (memory == Memory::Flash || memory == Memory::Eeprom) ++state_.run_address;
}

// The address moves on before the comparison, and the caption shows it as it was.
// The comparison runs once the byte before it has been read; after the mismatch limit, bytes the
// chip was already asked for are not reported.
inline void ScriptInterpreter::check(const Instruction& instruction, bool against_erased) {
    const Memory memory = instruction.memory;
    caption(memory, instruction.config);
    if (memory == Memory::Config) {
        // Only the bits the part implements are compared: the others read 0 whatever a HEX file
        // holds there, so the expected value is shown under them. A 1 read where the part has no
        // bit cannot come from the chip (a board that does not answer reads FF): a difference.
        const int k = instruction.config;
        const bool compared = covers(memory);
        int expected = against_erased ? state_.erased_config(k) : state_.image.config(k);
        if (expected >= 0) expected &= state_.silicon.bits(k);
        lines_.after_reads([this, k, expected, compared] {
            const int read = state_.interpreter.last_read;
            chip_config_(k) = read;
            if (!compared || read == expected || state_.mismatch_count() >= kMismatchLimit) return;
            add_mismatch("CONF Byte " + hex6h(kConfigBaseAddress + k - 1), hex2h(read), hex2h(expected));
        });
        return;
    }
    const std::int32_t address = state_.run_address;
    ++state_.run_address;
    if (!covers(memory)) return;
    const bool eeprom = memory == Memory::Eeprom;
    const int expected = against_erased
                             ? kErasedByte
                             : byte_or_erased(eeprom ? state_.image.eeprom : state_.image.flash, address);
    // Whether the byte is protected follows from configuration bytes read before it, which a
    // batching port may deliver only now.
    lines_.after_reads([this, eeprom, address, expected] {
        if (skip_protected(address, eeprom)) return;
        const int read = state_.interpreter.last_read;
        if (read == expected || state_.mismatch_count() >= kMismatchLimit) return;
        add_mismatch(eeprom ? "EEPROM Byte " + hex4h(address) : "FLASH Byte " + hex6h(address), hex2h(read),
                     hex2h(expected));
    });
}

inline void ScriptInterpreter::wait(const Instruction& instruction) {
    if (instruction.op == Op::WaitWr) {
        wait_for_write();
        return;
    }
    // A long wait is slept in pieces, so that a stop need not wait for its end; the lines held so
    // far reach the board before the first.
    std::int64_t left = instruction.wait_ms;
    while (left > kStopCheckMs) {
        lines_.wait_ms(kStopCheckMs);
        left -= kStopCheckMs;
        if (stop_if_requested()) return;
    }
    lines_.wait_ms(left);
}

}  // namespace quillon
