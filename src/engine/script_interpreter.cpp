#include "engine/script_interpreter.h"

#include <charconv>

namespace quillon {

namespace {

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

}  // namespace quillon
