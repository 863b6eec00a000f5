#pragma once

#include <chrono>
#include <string_view>

#include "base/host.h"
#include "engine/chip_operations.h"
#include "engine/script_program.h"
#include "model/app_state.h"

namespace quillon {

// What the chip operations tell the user: each function writes the status line and shows the
// message box for one stage of a run. run_algorithm decides what happens; these only say it.

// No programmer port is open: "Serial port 3 error!".
void report_port_closed(Host& host, const AppState& state);

// The script cannot run (outcome ScriptUnrecognized or ScriptRefused).
void report_refused_script(Host& host, const AppState& state, Operation operation,
                           const ScriptProgram& program, RunOutcome outcome);

// The start text, shown before the first instruction runs.
void report_start(Host& host, Operation operation);

// The port stopped working during the run.
void report_port_failure(Host& host, const AppState& state, std::string_view cause);

// The run stopped early for `fault_text`, and the chip was powered down.
void report_stopped_run(Host& host, const AppState& state, std::string_view fault_text);

// The run ended (Completed or Differences): the result text with the elapsed time, and for
// differences the report.
void report_result(Host& host, const AppState& state, Operation operation, RunOutcome outcome,
                   std::chrono::nanoseconds elapsed);

}  // namespace quillon
