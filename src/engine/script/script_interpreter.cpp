#include "engine/script/script_interpreter.h"

#include <algorithm>
#include <charconv>

#include "engine/script/run_progress.h"

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
    config_pulse_due_ = false;
    chip_config_.value.fill(-1);
    protected_ = {};
    caption_.clear();
}

// Code and ID cells take the code pulse; a configuration byte sent by sCC-config1l..7h, where the
// model gives one, the configuration pulse.
void ScriptInterpreter::pulse() {
    const SiliconTraits& silicon = state_.silicon;
    const std::int32_t ms =
        config_pulse_due_ && silicon.config_pulse_ms > 0 ? silicon.config_pulse_ms : state_.prog_time_ms;
    const std::chrono::nanoseconds discharge =
        silicon.discharge_us >= 0 ? std::chrono::nanoseconds(std::chrono::microseconds(silicon.discharge_us))
                                  : std::chrono::nanoseconds(ProgrammerLines::kSafeDischarge);
    lines_.programming_pulse(std::chrono::milliseconds(ms), discharge);
}

// Code protection makes a block read 00, so its bytes cannot be compared. Once the chip has given
// its protection bytes in this run, such bytes are noted as protected instead of reported one by
// one; a model that names no blocks is compared as the bytes come.
bool ScriptInterpreter::skip_protected(std::int32_t address, bool eeprom) {
    const std::optional<ProtectedArea> area = protected_area(state_.silicon, chip_config_, address, eeprom);
    if (!area) return false;
    protected_.add(*area);
    return true;
}

void ScriptInterpreter::track_progress(const RunPlan& plan, std::chrono::nanoseconds started) {
    plan_ = &plan;
    started_ = started;
}

bool ScriptInterpreter::stop_if_requested() {
    if (fault_ == RunFault::Stopped) return true;
    if (!host_.stop_requested()) return false;
    set_fault(RunFault::Stopped, {});
    return true;
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
    if (plan_ != nullptr) show_progress(true);
    host_.yield_point();
}

// A FLASH or EEPROM caption belongs to the loop whose instruction ran last, a configuration
// byte's to the instruction that runs (run_pc is already past it).
void ScriptInterpreter::show_progress(bool in_loop) {
    const std::int32_t instruction = in_loop ? state_.interpreter.loop_start : state_.run_pc - 1;
    if (instruction < 1) return;
    host_.show_progress(progress_at(*plan_, static_cast<std::size_t>(instruction - 1),
                                    in_loop ? state_.run_address + 1 : 0, lines_.clock().now() - started_));
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
        if (poll > 0 && stop_if_requested()) return;
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
