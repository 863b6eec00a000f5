#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/host.h"
#include "engine/script/script_program.h"
#include "model/app_state.h"

namespace quillon {

// What a stretch of a run costs: the bits it clocks through the ICSP lines, whose time depends on
// the port (from a few microseconds to milliseconds each), and the time it waits for the chip
// (power-up, programming pulses, EEPROM writes, script waits), which does not.
struct RunCost {
    double bits = 0;
    double wait_ns = 0;

    RunCost& operator+=(const RunCost& other) {
        bits += other.bits;
        wait_ns += other.wait_ns;
        return *this;
    }
    RunCost scaled(double factor) const { return {bits * factor, wait_ns * factor}; }
};

// The cost of a whole run worked out before it starts, from its script and the loop ends it will
// find, so that every caption can tell how far the run has come: FLASH, EEPROM, configuration
// bytes and the waits between them, each by what it costs.
struct RunPlan {
    // Per instruction (instruction n at index n - 1).
    std::vector<RunCost> before;      // the run's cost before it (before its loop, inside a loop body)
    std::vector<RunCost> loop;        // the whole loop's, for an instruction that starts one
    std::vector<std::int64_t> bytes;  // the bytes that loop covers
    RunCost total;
};

// The plan of `program` on the buffers and sizes of `state` as the run is about to find them.
RunPlan plan_run(const ScriptProgram& program, const AppState& state);

// How far the run is at instruction `index`, `loop_bytes` bytes into the loop that instruction
// starts (none for other instructions), after `elapsed`: the cost done and in all in nanoseconds,
// the bits timed at the pace the run has shown so far (the elapsed time less the waits done, per
// bit done).
RunProgress progress_at(const RunPlan& plan, std::size_t index, std::int64_t loop_bytes,
                        std::chrono::nanoseconds elapsed);

// 0 to 100.
int progress_percent(const RunProgress& progress);

// elapsed / done x what remains, once a second and a hundredth of the run are done; nothing
// before that.
std::optional<std::chrono::seconds> time_left(const RunProgress& progress);

// "37%, 2:31 left"; only "37%" while the time left cannot be told yet.
std::string progress_text(const RunProgress& progress);

// The progress text of one run as it goes on, with a steady time left: the estimate of each byte
// swings by a second between clock ticks, so the time shown goes down with the run and up again
// only when the estimate has grown by more than a few seconds. A progress of 0 bytes starts anew.
class ProgressTeller {
  public:
    std::string text(const RunProgress& progress);

  private:
    std::optional<std::chrono::seconds> shown_;
};

}  // namespace quillon
