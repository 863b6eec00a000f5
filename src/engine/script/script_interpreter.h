#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/script/programmer_lines.h"
#include "engine/script/script_program.h"
#include "model/app_state.h"
#include "model/protection.h"

namespace quillon {

inline constexpr int kMismatchLimit = 25;
// Polls of "waitwr" before the chip is judged stuck: a data EEPROM write takes a few milliseconds,
// a poll at least a few hundred microseconds even on the fastest port.
inline constexpr int kMaxWriteCompletionPolls = 1000;

// Why a run stopped before its end, if it did.
enum class RunFault : std::uint8_t {
    None,
    PortFailed,    // the programmer port stopped working
    WriteTimeout,  // the chip never cleared WR
    LoopStuck,     // a loop body that does not move the address would run forever
    Stopped,       // the user asked the run to stop
};

// The longest a wait runs before the run looks whether it is to stop: a "w" wait of seconds
// would otherwise keep a stop waiting as long.
inline constexpr std::int64_t kStopCheckMs = 50;

struct RunPlan;

// Carries out a decoded script one instruction per step against the programmer lines and the
// buffers of `state`. The run fields, the loop values and the mismatch report live in the state.
// script_step and the handlers it runs are in script_step.cpp; the run's bookkeeping, the progress
// caption, the loop guard and the write polling in script_interpreter.cpp; the mismatch report in
// mismatch_report.cpp.
class ScriptInterpreter {
  public:
    ScriptInterpreter(AppState& state, ProgrammerLines& lines, Host& host)
        : state_(state), lines_(lines), host_(host) {}

    // Runs instruction run_pc of `program` and leaves run_pc at the next one to run.
    void script_step(const ScriptProgram& program);
    // Hands the reads still on their way to the buffers and the compares; after the last step, as
    // they may move run_pc back into the script (the mismatch limit).
    void settle_reads() { lines_.settle_reads(); }

    void reset_mismatch_report();
    void add_mismatch(std::string_view location, std::string_view read_value,
                      std::string_view expected_value);

    // Set when the run must stop at once; the driver stops stepping and powers the chip down.
    RunFault fault() const { return fault_; }
    std::string fault_text() const { return fault_text_; }
    // "begin" instructions run in this run that no "end" has matched yet.
    int powered_depth() const { return powered_depth_; }

    // Powers the chip down once for every "begin" of this run that no "end" has matched.
    void power_down_after_fault();

    // Starts the bookkeeping of a new run (loop guard, power depth, fault).
    void begin_run();

    // FLASH blocks and data EEPROM that compares of this run skipped because the configuration
    // the chip gave earlier in the run says they are code-protected, and so read 00.
    const ProtectedAreas& protected_areas() const { return protected_; }

    // From now on every FLASH and EEPROM caption also shows the run's progress by `plan`, timed
    // from `started` on the lines' clock. The plan must outlive the run.
    void track_progress(const RunPlan& plan, std::chrono::nanoseconds started);

    // Ends the run (fault Stopped) when the host says the user asked for it; true then. Looked at
    // between instructions and inside the instructions that take long: polls and long waits.
    bool stop_if_requested();

    // The last progress caption of this run ("F:12291/32768", "CONF1L:"), empty before the first.
    const std::string& last_caption() const { return caption_; }

  private:
    // One handler for each group of the instruction table; `pc` is the number of the instruction.
    void power(Op op);
    void shorten_loop_end(const Instruction& instruction);
    void flow(const Instruction& instruction, std::int32_t pc);
    void load_address_byte(Op op);
    void send(const Instruction& instruction);
    void read(const Instruction& instruction);
    void store_read(Memory memory, std::int32_t address, int config, int value);
    void check(const Instruction& instruction, bool against_erased);
    void wait(const Instruction& instruction);
    void pulse();
    bool skip_protected(std::int32_t address, bool eeprom);
    // Whether the run's regions take in `memory` (always for Memory::None).
    bool covers(Memory memory) const;

    void caption(Memory memory, int config);
    void caption_progress(char memory);
    void show_progress(bool in_loop);
    void enter_loop(const Instruction& instruction, std::int32_t last_address, std::int32_t pc);
    void run_loop(std::int32_t pc);
    void wait_for_write();
    void set_fault(RunFault fault, std::string text);

    AppState& state_;
    ProgrammerLines& lines_;
    Host& host_;
    RunFault fault_ = RunFault::None;
    std::string fault_text_;
    int powered_depth_ = 0;
    bool loop_started_ = false;
    bool loop_ended_ = false;  // the last loop instruction found its loop done and jumped past it
    std::int32_t address_at_loop_ = -1;
    std::string caption_;
    // The last table write was of a configuration byte, so the next pulse is the configuration one.
    bool config_pulse_due_ = false;
    ConfigValues chip_config_;  // as the chip gave them in this run; -1 not read yet
    ProtectedAreas protected_;

    const RunPlan* plan_ = nullptr;
    std::chrono::nanoseconds started_{0};
};

// Highest address whose byte is not FF, -1 when every byte is.
std::int32_t last_used_address(const std::vector<std::uint8_t>& bytes);

// The last address of the `page_size` page that holds `last`; the first page's when `last` is -1.
inline std::int32_t page_end(std::int32_t last, std::int32_t page_size) {
    return last - last % page_size + page_size - 1;
}

}  // namespace quillon
