#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/programmer_lines.h"
#include "engine/script_program.h"
#include "model/app_state.h"

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
};

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

    void caption(Memory memory, int config);
    void caption_progress(char memory);
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
};

// Highest address whose byte is not FF, -1 when every byte is.
std::int32_t last_used_address(const std::vector<std::uint8_t>& bytes);

}  // namespace quillon
